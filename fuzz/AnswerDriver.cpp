#include "fuzz/AnswerDriver.h"

#include "fuzz/FuzzScratch.h"
#include "protocol/ConvertError.h"
#include "protocol/UCommands.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace quell::fuzz {

namespace {

constexpr std::uint8_t kDefaultMask = 0xA0;
constexpr std::uint8_t kMcAddress = 1;
constexpr std::uint8_t kMcMask = 0x40;
constexpr int kMaxExchanges = 8;

// Reads a length-prefixed field; the length is cut to what is left of the input.
std::string_view takeField(const std::uint8_t*& data, std::size_t& size, std::size_t length)
{
    if (length > size) {
        length = size;
    }
    std::string_view field(reinterpret_cast<const char*>(data), length);
    data += length;
    size -= length;
    return field;
}

} // namespace

AnswerDriver::AnswerDriver(std::string_view fileName, std::string_view description)
    : pristine_(loadEmbedded(fileName, description)), work_(std::make_unique<TProtocol>(*pristine_))
{
}

AnswerDriver::~AnswerDriver() = default;

void AnswerDriver::restore()
{
    // Copying the whole table per input would cost more than the parsing it guards; only the
    // entries an exchange can reach are put back.
    const int last = pristine_->Count + 1;
    const int top = work_->maxEntries();
    for (int i = 0; i <= last && i <= top; ++i) {
        work_->Commands[i] = pristine_->Commands[i];
    }
    work_->Commands[top] = pristine_->Commands[top];
}

std::uint16_t AnswerDriver::selectEntry(std::uint8_t selector) const
{
    switch (selector) {
    case 0xFC:
        return work_->maxEntries();
    case 0xFD:
        return static_cast<std::uint16_t>(work_->maxEntries() + 1);
    case 0xFE:
        return 0x8000;
    case 0xFF:
        return 0xFFFF;
    default:
        return static_cast<std::uint16_t>(selector % (work_->Count + 2));
    }
}

void AnswerDriver::exchange(std::uint16_t entry, std::uint8_t flags, std::uint8_t address,
                            std::string_view requestBytes, std::string_view answer)
{
    const bool viaMC = (flags & 0x04) != 0;
    const std::uint8_t deviceAddress = (flags & 0x08) != 0 ? kFixedDeviceAddress : address;
    std::string request;
    switch (flags & 0x03) {
    case 1:
        request =
            work_->BuildReadRequest(entry, deviceAddress, kDefaultMask, viaMC, kMcAddress, kMcMask);
        break;
    case 2:
        request = work_->BuildWriteRequest(entry, requestBytes, deviceAddress, kDefaultMask, viaMC,
                                           kMcAddress, kMcMask);
        break;
    default:
        request.assign(requestBytes);
        break;
    }

    const TAnswerResult result = work_->ParseAnswer(request, answer, entry);
    if (result.Taken && (result.Entry < 1 || result.Entry > work_->Count)) {
        // An answer can only be applied to an entry that exists.
        std::fprintf(stderr, "fuzz: answer taken for entry %u of %u\n", result.Entry, work_->Count);
        std::abort();
    }

    // Whatever the answer left in the entry must still be usable for the next frames.
    const TCommands* found = work_->entryAt(result.Entry);
    if (found == nullptr) {
        return;
    }
    // The poll selector after the answer: a taken answer resets the count it runs on.
    for (int cycle = 0; cycle < 3; ++cycle) {
        work_->NeedsPoll(result.Entry);
    }
    const std::string text = found->ValueText;
    work_->ValueToText(result.Entry, found->Value, text);
    work_->BuildReadRequest(result.Entry, deviceAddress, kDefaultMask, viaMC, kMcAddress, kMcMask);
    work_->BuildWriteRequest(result.Entry, text, deviceAddress, kDefaultMask, viaMC, kMcAddress,
                             kMcMask);
}

void AnswerDriver::run(const std::uint8_t* data, std::size_t size)
{
    restore();
    for (int i = 0; i < kMaxExchanges && size >= 4; ++i) {
        const std::uint16_t entry = selectEntry(data[0]);
        const std::uint8_t flags = data[1];
        const std::uint8_t address = data[2];
        const std::size_t requestLength = data[3];
        data += 4;
        size -= 4;
        const std::string_view requestBytes = takeField(data, size, requestLength);
        std::size_t answerLength = size;
        if (size > 0) {
            answerLength = data[0];
            ++data;
            --size;
        }
        const std::string_view answer = takeField(data, size, answerLength);
        try {
            exchange(entry, flags, address, requestBytes, answer);
        } catch (const EConvertError&) {
            // Data that is not a number is reported to the user; the next exchange goes on.
        }
    }
}

} // namespace quell::fuzz
