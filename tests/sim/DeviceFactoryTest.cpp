// Device lists as quellsim and quellgw --sim read them: models, addresses and the faults a board
// is made with, and the refusals that name the bad part instead of starting something else.

#include "sim/DeviceFactory.h"
#include "tests/sim/SimTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace quell::sim::test {
namespace {

TEST(DeviceList, AcceptedListsGiveTheirModelsAddressesAndFaults)
{
    struct Device {
        std::string model;
        int address;
        std::optional<std::uint32_t> seed;
        double off;
        std::uint32_t dead;
        std::uint32_t noisy;
    };
    struct Case {
        std::string list;
        std::vector<Device> devices;
    };
    const Case cases[] = {
        {"vrq-pb@1,ei-controller@12",
         {{"vrq-pb", 1, {}, 0, 0, 0}, {"ei-controller", 12, {}, 0, 0, 0}}},
        {"vrq-pb@3:off=3:dead=emc2:noisy=temp1:seed=7", {{"vrq-pb", 3, 7u, 3, 0x004, 0x002}}},
        {"vrq-pb@1:off=-2.5", {{"vrq-pb", 1, {}, -2.5, 0, 0}}},
        {"vrq-pb@1:off=50:seed=0", {{"vrq-pb", 1, 0u, 50, 0, 0}}},
        {"vrq-pb@1:off=-50", {{"vrq-pb", 1, {}, -50, 0, 0}}},
        {"vrq-pb@1:dead=mc1+mc8+temp2", {{"vrq-pb", 1, {}, 0, 0x818, 0}}},
        {"vrq-pb@1:dead=wood:noisy=emc1+emc2", {{"vrq-pb", 1, {}, 0, 0xFF0, 0x005}}},
        {"vrq-pb@1:noisy=mc3,vrq-pb@2:dead=mc3",
         {{"vrq-pb", 1, {}, 0, 0, 0x040}, {"vrq-pb", 2, {}, 0, 0x040, 0}}},
        {"vrq-pb@1:seed=2147483647", {{"vrq-pb", 1, 2147483647u, 0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        const std::vector<DeviceFactory::Placement> got = DeviceFactory::parseList(c.list);
        ASSERT_EQ(got.size(), c.devices.size());
        for (std::size_t k = 0; k < got.size(); ++k) {
            EXPECT_EQ(got[k].model, c.devices[k].model);
            EXPECT_EQ(got[k].address, c.devices[k].address);
            EXPECT_EQ(got[k].seed, c.devices[k].seed);
            EXPECT_EQ(got[k].faults.offsetPercent, c.devices[k].off);
            EXPECT_EQ(got[k].faults.dead, c.devices[k].dead);
            EXPECT_EQ(got[k].faults.noisy, c.devices[k].noisy);
        }
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
        {"vrq-pb@:off=3", "has no numeric address"},
        {"vrq-pb@1:", "'vrq-pb@1:': empty option"},
        {"vrq-pb@1:off=3::seed=2", "empty option"},
        {"vrq-pb@1:off", "'off' is not NAME=VALUE"},
        {"vrq-pb@1:=3", "'=3' is not NAME=VALUE"},
        {"vrq-pb@1:gain=3", "'vrq-pb@1:gain=3': unknown option 'gain'"},
        {"vrq-pb@1:Off=3", "unknown option 'Off'"},
        {"vrq-pb@1:off=abc", "off: 'abc' is not a percentage from -50 to 50"},
        {"vrq-pb@1:off=50.5", "off: '50.5' is not a percentage"},
        {"vrq-pb@1:off=-51", "off: '-51' is not a percentage"},
        {"vrq-pb@1:off=", "off: '' is not a percentage"},
        {"vrq-pb@1:off=3:off=4", "off is given twice"},
        {"vrq-pb@1:dead=emc1:dead=emc2", "dead is given twice"},
        {"vrq-pb@1:dead=emc3", "dead: unknown channel 'emc3'"},
        {"vrq-pb@1:noisy=mc9", "noisy: unknown channel 'mc9'"},
        {"vrq-pb@1:noisy=mc0", "noisy: unknown channel 'mc0'"},
        {"vrq-pb@1:dead=EMC1", "dead: unknown channel 'EMC1'"},
        {"vrq-pb@1:dead=emc1+", "dead: unknown channel ''"},
        {"vrq-pb@1:dead=", "dead: unknown channel ''"},
        {"vrq-pb@1:dead=emc1,temp1", "'temp1' is not MODEL@ADDRESS"},
        {"vrq-pb@1:dead=mc2:noisy=wood", "mc2 cannot be both dead and noisy"},
        {"vrq-pb@1:seed=-1", "seed: '-1' is not a number from 0 to 2147483647"},
        {"vrq-pb@1:seed=7x", "seed: '7x' is not a number"},
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

TEST(DeviceList, OnlyTheVrqPbBoardIsMadeWithFaults)
{
    DeviceFactory factory;
    DeviceFactory::Placement compact{"vrq-compact", 1, {}, {}};
    compact.faults.offsetPercent = 2;
    DeviceFactory::Placement controller{"ei-controller", 12, 3u, {}};
    for (const DeviceFactory::Placement& p : {compact, controller}) {
        try {
            factory.make(p);
            ADD_FAILURE() << p.model << " made";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(p.model + " takes no options"), std::string::npos)
                << e.what();
        }
    }
    // An unknown model is told as such, options or not.
    EXPECT_THROW(factory.make({"foo", 1, 2u, {}}), std::invalid_argument);
}

// Readings of EMC1 through a bus made from a list, with everything switched for a calibration.
std::vector<int> emc1Readings(const std::string& list)
{
    DeviceFactory factory;
    DeviceBus bus = factory.makeBus(list);
    auto client = clientTable("vrq-pb");
    std::vector<int> out;
    for (int i = 0; i < 40; ++i) {
        const std::string request =
            client->BuildReadRequest(i < 20 ? 89 : 90, 1, 0xA0, false, 1, 0x40);
        const auto reply = bus.respond(request, SimTime(i * 100'000LL));
        if (!reply)
            return {};
        client->ParseAnswer(request, reply->bytes, i < 20 ? 89 : 90);
        out.push_back(client->Commands[i < 20 ? 89 : 90].Value);
    }
    return out;
}

TEST(DeviceList, TheFactoryGivesTheBoardItsFaultsAndSeed)
{
    // Entry 89 for two seconds, then EMC1's voltage.
    const std::vector<int> plain = emc1Readings("vrq-pb@1");
    const std::vector<int> dead = emc1Readings("vrq-pb@1:dead=emc1");
    ASSERT_EQ(plain.size(), 40u);
    ASSERT_EQ(dead.size(), 40u);
    EXPECT_EQ(plain[19] & 1, 0);
    EXPECT_EQ(dead[19] & 1, 1);
    // The default seed is the address.
    EXPECT_EQ(emc1Readings("vrq-pb@1:noisy=emc1"), emc1Readings("vrq-pb@1:noisy=emc1:seed=1"));
    EXPECT_NE(emc1Readings("vrq-pb@1:noisy=emc1"), emc1Readings("vrq-pb@1:noisy=emc1:seed=2"));
    const std::vector<int> high = emc1Readings("vrq-pb@1:off=4");
    EXPECT_NEAR(double(high.back()) / plain.back(), 1.04, 0.001);
}

} // namespace
} // namespace quell::sim::test
