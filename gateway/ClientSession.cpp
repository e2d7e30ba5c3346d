#include "gateway/ClientSession.h"

#include "gateway/AnswerLine.h"
#include "gateway/BusExchanger.h"
#include "gateway/RequestLine.h"

namespace quell::gw {

ClientSession::ClientSession(int id, ByteLink& link, BusArbiter& arbiter, TrafficTrace& trace,
                             Log log)
    : id_(id), link_(link), arbiter_(arbiter), trace_(trace), log_(std::move(log))
{
}

std::string ClientSession::refuseTooLong()
{
    trace_.note(id_, "refused", "line over " + std::to_string(RequestLine::kMaxLength));
    AnswerLine a;
    a.addRefusal("LineTooLong");
    return a.text();
}

std::string ClientSession::handle(std::string_view line, const BusExchanger::Abandoned& abandoned)
{
    const RequestLine r = RequestLine::parse(line);
    AnswerLine answer;
    if (r.kind == RequestLine::Kind::Empty || r.kind == RequestLine::Kind::Bad) {
        const std::string word = r.kind == RequestLine::Kind::Empty ? "EmptyLine" : r.problem;
        trace_.note(id_, "refused", word);
        answer.addRefusal(word);
        return answer.text();
    }
    if (!r.settings.empty()) {
        const SerialSettings before = settings_;
        for (const auto& [word, value] : r.settings) {
            if (word == "USER" && value != settings_.user)
                log_("client " + std::to_string(id_) + ": user " + value);
            if (!settings_.apply(word, value)) {
                std::string note = "client " + std::to_string(id_) + ": ";
                note.append(word).append("=").append(value);
                note += " refused, keeping the setting in force";
                log_(note);
            }
        }
        // A framing the line itself cannot make (a baud rate the port's driver refuses) is
        // refused now, so the echo shows what will really be used. Trying it needs the bus.
        if (!settings_.sameFraming(before)) {
            const BusArbiter::Turn turn(arbiter_);
            std::string failure;
            if (!link_.configure(settings_, failure) && failure == ByteLink::kBadSettings) {
                log_("client " + std::to_string(id_) + ": the line cannot make " + settings_.echo()
                     + "- keeping the framing in force");
                settings_.baud = before.baud;
                settings_.parity = before.parity;
                settings_.dataBits = before.dataBits;
                settings_.stopBits = before.stopBits;
            }
        }
        trace_.note(id_, "settings", settings_.echo());
        answer.addSettings(settings_.echo());
    }
    if (r.kind == RequestLine::Kind::Settings)
        return answer.text();

    // One turn per frame, not per line: a client with a long line of frames to absent devices
    // then delays every other client by one frame at most, never by its whole line.
    for (const std::string& frame : r.frames) {
        const BusArbiter::Turn turn(arbiter_);
        if (abandoned && abandoned()) {
            // Nobody reads this answer: the rest of the line is dropped, the bus is free at once.
            trace_.note(id_, "dropped", "the rest of the line");
            break;
        }
        std::string failure;
        if (!link_.configure(settings_, failure)) {
            answer.addError(frame, failure);
            continue;
        }
        const BusExchanger::Outcome o =
            BusExchanger::exchange(link_, settings_, frame, trace_, id_, abandoned);
        if (o.answered)
            answer.addAnswer(frame, o.text);
        else
            answer.addError(frame, o.text);
    }
    return answer.text();
}

} // namespace quell::gw
