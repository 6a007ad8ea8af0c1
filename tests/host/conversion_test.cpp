// Converting readings into Chinese text through the host, on the built
// databases, in both modules: the jyutping module types the reading as
// letters, the braille module as braille-ASCII cells.
#include "tests/host/host_fixture.h"

namespace {

struct Readings {
    const char *neihou; // 你好 您好
    const char *mgoi;   // 唔該 alone
    const char *si;     // si1: many single characters
};

const Readings kJyutping = {"n e i 5 h o u 2", "m 4 g o i 1", "s i 1"};
const Readings kBraille = {"n h , h v a", "m ' k <", "s i"};

class Conversion : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        if (!IsSkipped())
            open();
    }

    const Readings &readings() const { return GetParam() == "vexa" ? kJyutping : kBraille; }

    size_t count(UINT message) {
        size_t n = 0;
        for (const host::Message &m : app().messages())
            n += m.message == message;
        return n;
    }
};

TEST_P(Conversion, ChoosingTheCandidateCommitsItOnce) {
    type(readings().neihou);
    type("<Space>");
    EXPECT_NE(app().composition().find("1 你好"), std::string::npos) << app().composition();
    EXPECT_NE(app().composition().find("2 您好"), std::string::npos) << app().composition();
    EXPECT_EQ(app().committed(), "");
    type("1");
    EXPECT_EQ(app().committed(), "你好");
    EXPECT_FALSE(app().isComposing());
    EXPECT_EQ(count(WM_IME_STARTCOMPOSITION), 1u);
    EXPECT_EQ(count(WM_IME_ENDCOMPOSITION), 1u);
}

TEST_P(Conversion, SpaceCommitsTheOnlyWholeCandidateButRightShowsIt) {
    type(readings().mgoi);
    type("<Space>");
    EXPECT_EQ(app().committed(), "唔該");
    type(readings().mgoi);
    type("<Right>");
    EXPECT_EQ(app().committed(), "唔該") << "nothing more yet";
    EXPECT_NE(app().composition().find("唔該"), std::string::npos);
    type("<Enter>");
    EXPECT_EQ(app().committed(), "唔該") << "Enter commits only chosen segments";
    EXPECT_FALSE(app().isComposing());
}

TEST_P(Conversion, RefusalsAreHeard) {
    type(readings().neihou);
    type("<Space> 9");
    EXPECT_EQ(app().committed(), "") << "no ninth candidate";
    type("<PageUp> <Left>");
    type("<Esc>");
    EXPECT_EQ(sounds(), std::vector<int>({514, 514, 514}));
}

TEST_P(Conversion, NothingMatchingEndsWithNothingCommitted) {
    type(GetParam() == "vexa" ? "q q <Space>" : "= = <Space>");
    EXPECT_EQ(app().committed(), "");
    EXPECT_FALSE(app().isComposing());
    EXPECT_EQ(sounds(), std::vector<int>({513}));
}

// A single character is shown with its most common example word; its query
// starts in that word's sense, then gives the description.
TEST_P(Conversion, QueryingACharacterAndBrowsingItsExplanations) {
    type(readings().si);
    type("<Space> <Down>");
    std::string single = app().composition();
    ASSERT_EQ(single.compare(0, 2, "1 "), 0) << single;
    std::string example = single.substr(2);
    type("Q");
    std::string first = app().composition();
    EXPECT_EQ(first, example) << "the example word first";
    type("Q");
    EXPECT_NE(app().composition().find("部"), std::string::npos)
        << "then the description: " << app().composition();
    type("<Up>");
    EXPECT_EQ(app().composition(), first);
    type("<Left>");
    EXPECT_EQ(app().composition(), single) << "back to the candidate";
    type("1");
    EXPECT_EQ(app().committed().size(), 3u) << "one character: " << app().committed();
    EXPECT_NE(example.find(app().committed()), std::string::npos) << app().committed();
}

TEST_P(Conversion, SpaceInTheQueryCommitsTheExampleWordShown) {
    type(readings().si);
    type("<Space> <Down> Q Q Q");
    std::string shown = app().composition();
    type("<Space>");
    ASSERT_FALSE(app().committed().empty());
    EXPECT_EQ(app().committed(), shown) << "an example word after the description";
    EXPECT_FALSE(app().isComposing());
}

TEST_P(Conversion, TheOptionMenuOverThePageGivesThePageBack) {
    type(readings().neihou);
    type("<Space>");
    std::string page = app().composition();
    type("<Ctrl+`>");
    EXPECT_NE(app().composition().find("開啟"), std::string::npos);
    type("<Esc>");
    EXPECT_EQ(app().composition(), page);
    type("2");
    EXPECT_EQ(app().committed(), "您好");
}

INSTANTIATE_TEST_SUITE_P(Modules, Conversion, ::testing::Values("vexa", "ruda"),
                         [](const auto &info) { return info.param; });

} // namespace
