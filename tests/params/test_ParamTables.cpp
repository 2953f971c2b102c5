// The item tables of the three families: stored names, addresses, scales,
// and agreement with the simulated box's factory set, row by row.
#include "FactoryParams.h"
#include "link/ParamTable.h"

#include <QString>
#include <gtest/gtest.h>

#include <set>
#include <string>

using kv::ParamTable;
using kv::TBoxFamily;
using kv::TCtrlBox;
using kv::TParamDef;

namespace {

const TParamDef *Find(TBoxFamily f, const char *name)
{
    for (const TParamDef &d : ParamTable(f))
        if (std::string(d.Name) == name)
            return &d;
    return nullptr;
}

std::set<std::string> Names(TBoxFamily f)
{
    std::set<std::string> s;
    for (const TParamDef &d : ParamTable(f))
        s.insert(d.Name);
    return s;
}

} // namespace

TEST(ParamTables, CountsAndOneItemPerDriverField)
{
    EXPECT_EQ(ParamTable(TBoxFamily::F300).size(), 72u);
    EXPECT_EQ(ParamTable(TBoxFamily::F510).size(), 74u);
    EXPECT_EQ(ParamTable(TBoxFamily::F520).size(), 74u);
    auto box = kv::CreateCtrlBox(1);
    for (TBoxFamily f : {TBoxFamily::F300, TBoxFamily::F510, TBoxFamily::F520}) {
        std::set<const void *> fields;
        std::set<std::pair<const void *, int>> points;
        std::set<std::string> names;
        for (const TParamDef &d : ParamTable(f)) {
            ASSERT_TRUE(d.Field || d.Points) << d.Name;
            if (d.Field)
                EXPECT_TRUE(fields.insert(&d.Ref(*box)).second) << d.Name;
            else
                EXPECT_TRUE(points.insert({&d.Ref(*box), d.Point}).second) << d.Name;
            EXPECT_TRUE(names.insert(QString::fromLatin1(d.Name).toLower().toStdString()).second)
                << "stored names must differ without regard to case: " << d.Name;
        }
        EXPECT_EQ(points.size(), 24u);
    }
}

TEST(ParamTables, Family300KeepsItsOwnSpellings)
{
    for (const char *n : {"FmaxLoad", "FctrlEntry", "FunloadDelay", "FexistHand", "FValveBreak", "FPIDMaxOunt",
                          "FLoadCValue2", "FloadValue4", "FLoadLoadValue12", "FColMaxSub", "FColdEdEachSub",
                          "FColWaitMitme", "FIsViewSpeed"})
        EXPECT_TRUE(Find(TBoxFamily::F300, n)) << n;
    const auto n300 = Names(TBoxFamily::F300);
    for (const char *n : {"FMaxLoad", "FCtrlEntry", "FLoadValue2", "FLoadValue4", "FLoadValue12", "FValveBack",
                          "FPIDMaxOut", "FColdMaxSub", "FColdEachSub", "FColdWaitTime", "FCheckKZ", "FCheckKY"})
        EXPECT_FALSE(n300.count(n)) << n;
    EXPECT_EQ(Find(TBoxFamily::F300, "FLoadCValue2")->Points, &TCtrlBox::FLoadValue);
    EXPECT_EQ(Find(TBoxFamily::F300, "FLoadCValue2")->Point, 1);
    EXPECT_EQ(Find(TBoxFamily::F300, "FLoadLoadValue12")->Point, 11);
    EXPECT_EQ(Find(TBoxFamily::F300, "FColWaitMitme")->Field, &TCtrlBox::FColdWaitTime);
    EXPECT_EQ(Find(TBoxFamily::F300, "FValveBreak")->Field, &TCtrlBox::FValveBack);

    EXPECT_TRUE(Find(TBoxFamily::F510, "FunloadDelay"));
    EXPECT_TRUE(Find(TBoxFamily::F510, "FColdEachSub"));
    EXPECT_TRUE(Find(TBoxFamily::F510, "FCheckKZ"));
    EXPECT_TRUE(Find(TBoxFamily::F510, "FKZThreshold"));
    EXPECT_TRUE(Find(TBoxFamily::F520, "FUnloadDelay"));
    EXPECT_TRUE(Find(TBoxFamily::F520, "FColEachSub"));
    EXPECT_TRUE(Find(TBoxFamily::F520, "FISViewSpeed"));
    EXPECT_TRUE(Find(TBoxFamily::F520, "FKYTHreshold"));
    EXPECT_EQ(Find(TBoxFamily::F520, "FCheckKY")->Field, &TCtrlBox::FCheckKY);
}

TEST(ParamTables, AddressesScalesAndTwoWordCodes)
{
    // FLoadCode5: high word 13, low word 14 (520: 113 / 114).
    const TParamDef *c5 = Find(TBoxFamily::F510, "FLoadCode5");
    ASSERT_TRUE(c5);
    EXPECT_EQ(c5->HighAddress, 13);
    EXPECT_EQ(c5->Address, 14);
    EXPECT_EQ(c5->PackedAddress(), (13u << 16) | 14u);
    EXPECT_EQ(Find(TBoxFamily::F520, "FLoadCode5")->PackedAddress(), (113u << 16) | 114u);
    EXPECT_EQ(Find(TBoxFamily::F300, "FLoadCode12")->PackedAddress(), (34u << 16) | 35u);

    // The first calibration value lives at address 0 and is a box item.
    EXPECT_TRUE(Find(TBoxFamily::F510, "FLoadValue1")->InBox());
    EXPECT_EQ(Find(TBoxFamily::F510, "FLoadValue1")->Address, 0);
    EXPECT_FALSE(Find(TBoxFamily::F510, "FForcedLoad")->InBox());
    EXPECT_EQ(Find(TBoxFamily::F510, "FForcedLoad")->PackedAddress(), 0u);

    // The valve middle is shared by both sides of the two-channel box.
    EXPECT_EQ(Find(TBoxFamily::F510, "FValveMiddle")->Address, 75);
    EXPECT_EQ(Find(TBoxFamily::F520, "FValveMiddle")->Address, 75);
    EXPECT_EQ(Find(TBoxFamily::F520, "FMaxLoad")->Address, 136);

    // Forces in kN on 300 / 510, in N on 520.
    EXPECT_DOUBLE_EQ(Find(TBoxFamily::F510, "FMaxLoad")->BoxScale, 0.001);
    EXPECT_DOUBLE_EQ(Find(TBoxFamily::F300, "FmaxLoad")->DisplayScale, 0.001);
    EXPECT_DOUBLE_EQ(Find(TBoxFamily::F520, "FMaxLoad")->BoxScale, 1);
    EXPECT_DOUBLE_EQ(Find(TBoxFamily::F510, "FCtrlEntry")->BoxScale, 1);
    EXPECT_TRUE(Find(TBoxFamily::F510, "FCtrlEntry")->Code);
    EXPECT_DOUBLE_EQ(Find(TBoxFamily::F510, "FProtectLoad")->DisplayScale, 1);
}

// The simulated box was built from the same description: its factory set
// must list the same parameters in the same order under the same names and
// addresses, so a fresh box and a fresh installation can agree.
TEST(ParamTables, AgreeWithTheSimulatorsFactorySet)
{
    struct F {
        TBoxFamily family;
        const kvdsim::TFactoryParam *rows;
        size_t count;
    };
    const F families[] = {
        {TBoxFamily::F300, kvdsim::kFactory300, std::size(kvdsim::kFactory300)},
        {TBoxFamily::F510, kvdsim::kFactory510, std::size(kvdsim::kFactory510)},
        {TBoxFamily::F520, kvdsim::kFactory520, std::size(kvdsim::kFactory520)},
    };
    for (const F &f : families) {
        const auto &table = ParamTable(f.family);
        size_t i = 0;
        for (size_t k = 0; k < f.count; ++k) {
            const kvdsim::TFactoryParam &p = f.rows[k];
            if (!p.stored)
                continue;
            ASSERT_LT(i, table.size());
            const TParamDef &d = table[i++];
            EXPECT_STREQ(d.Name, p.name) << int(f.family) << " row " << i;
            EXPECT_EQ(d.Address, p.address) << d.Name;
            EXPECT_EQ(d.HighAddress, p.highAddress) << d.Name;
            if (d.InBox()) {
                EXPECT_DOUBLE_EQ(d.BoxScale, p.boxScale) << d.Name;
            }
        }
        EXPECT_EQ(i, table.size()) << int(f.family);
    }
}
