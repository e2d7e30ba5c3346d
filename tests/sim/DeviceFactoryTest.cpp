// Device lists as quellsim and quellgw --sim read them: models, addresses and the faults a board
// is made with, and the refusals that name the bad part instead of starting something else.

#include "sim/DeviceFactory.h"
#include "tests/sim/SimTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace quell::sim::test {
namespace {

// A placement as one line: "model@address seed off dead noisy" (seed - when none).
std::string describe(const DeviceFactory::Placement& p)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s@%d %s %g %#x %#x", p.model.c_str(), p.address,
                  p.seed ? std::to_string(*p.seed).c_str() : "-", p.faults.offsetPercent,
                  p.faults.dead, p.faults.noisy);
    return text;
}

TEST(DeviceList, AcceptedListsGiveTheirModelsAddressesAndFaults)
{
    struct Case {
        std::string list;
        std::vector<std::string> devices;
    };
    const Case cases[] = {
        {"vrq-pb@1,ei-controller@12", {"vrq-pb@1 - 0 0 0", "ei-controller@12 - 0 0 0"}},
        {"vrq-pb@3:off=3:dead=emc2:noisy=temp1:seed=7", {"vrq-pb@3 7 3 0x4 0x2"}},
        {"vrq-pb@1:off=-2.5", {"vrq-pb@1 - -2.5 0 0"}},
        {"vrq-pb@1:off=50:seed=0", {"vrq-pb@1 0 50 0 0"}},
        {"vrq-pb@1:dead=mc1+mc8+temp2", {"vrq-pb@1 - 0 0x818 0"}},
        {"vrq-pb@1:dead=wood:noisy=emc1+emc2", {"vrq-pb@1 - 0 0xff0 0x5"}},
        {"vrq-pb@1:noisy=mc3,vrq-pb@2:dead=mc3", {"vrq-pb@1 - 0 0 0x40", "vrq-pb@2 - 0 0x40 0"}},
        {"vrq-pb@1:seed=2147483647", {"vrq-pb@1 2147483647 0 0 0"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        for (const DeviceFactory::Placement& p : DeviceFactory::parseList(c.list))
            got.push_back(describe(p));
        EXPECT_EQ(got, c.devices) << c.list;
    }
}

TEST(DeviceList, RefusedListsNameTheBadPart)
{
    struct Case {
        std::string list;
        std::string errorPart;
    };
    const Case cases[] = {
        {"vrq-pb", "'vrq-pb' is not MODEL@ADDRESS"},
        {"vrq-pb:off=3@1", "'vrq-pb:off=3@1' is not MODEL@ADDRESS"},
        {"vrq-pb@1x:off=3", "'vrq-pb@1x:off=3' has no numeric address"},
        {"vrq-pb@1:", "'vrq-pb@1:': empty option"},
        {"vrq-pb@1:off", "'off' is not NAME=VALUE"},
        {"vrq-pb@1:=3", "'=3' is not NAME=VALUE"},
        {"vrq-pb@1:gain=3", "'vrq-pb@1:gain=3': unknown option 'gain'"},
        {"vrq-pb@1:off=abc", "off: 'abc' is not a percentage from -50 to 50"},
        {"vrq-pb@1:off=50.5", "off: '50.5' is not a percentage"},
        {"vrq-pb@1:off=3:off=4", "off is given twice"},
        {"vrq-pb@1:dead=emc1:dead=emc2", "dead is given twice"},
        {"vrq-pb@1:dead=emc3", "dead: unknown channel 'emc3'"},
        {"vrq-pb@1:noisy=mc9", "noisy: unknown channel 'mc9'"},
        {"vrq-pb@1:dead=EMC1", "dead: unknown channel 'EMC1'"},
        {"vrq-pb@1:dead=emc1+", "dead: unknown channel ''"},
        {"vrq-pb@1:dead=emc1,temp1", "'temp1' is not MODEL@ADDRESS"},
        {"vrq-pb@1:dead=mc2:noisy=wood", "mc2 cannot be both dead and noisy"},
        {"vrq-pb@1:seed=-1", "seed: '-1' is not a number from 0 to 2147483647"},
        {"vrq-pb@1,vrq-compact@2:off=3", "'vrq-compact@2:off=3': vrq-compact takes no options"},
        {"ei-controller@12:seed=1", "ei-controller takes no options"},
        {"foo@1:off=3", "'foo@1:off=3': foo takes no options"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        try {
            DeviceFactory::parseList(c.list);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(c.errorPart), std::string::npos) << e.what();
        }
    }
}

TEST(DeviceList, TheFactoryGivesTheBoardItsFaultsAndSeed)
{
    // Entry 89 at 0 s (which starts the board's clock) and 1 s, then EMC1's voltage five times,
    // on a bus made from the list.
    auto readings = [](const std::string& list, int address = 1) {
        DeviceBus bus = DeviceFactory().makeBus(list);
        auto client = clientTable("vrq-pb");
        std::vector<int> out;
        for (int i = 0; i < 7; ++i) {
            const std::uint16_t entry = i < 2 ? 89 : 90;
            const std::string request =
                client->BuildReadRequest(entry, address, 0xA0, false, 1, 0x40);
            const auto reply = bus.respond(request, SimTime(i == 0 ? 0 : 950'000LL + i * 50'000LL));
            EXPECT_TRUE(reply && client->ParseAnswer(request, reply->bytes, entry).Taken);
            out.push_back(client->Commands[entry].Value);
        }
        return out;
    };
    EXPECT_EQ(readings("vrq-pb@1")[1] & 1, 0);
    EXPECT_EQ(readings("vrq-pb@1:dead=emc1")[1] & 1, 1);
    EXPECT_NEAR(readings("vrq-pb@1:off=4")[6] / double(readings("vrq-pb@1")[6]), 1.04, 0.001);
    // The default seed is the address.
    EXPECT_EQ(readings("vrq-pb@5:noisy=emc1", 5), readings("vrq-pb@5:noisy=emc1:seed=5", 5));
    EXPECT_NE(readings("vrq-pb@5:noisy=emc1", 5), readings("vrq-pb@5:noisy=emc1:seed=1", 5));
}

} // namespace
} // namespace quell::sim::test
