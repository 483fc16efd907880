// The name dictionary and unique names.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "foundation/dictionary.h"
#include "foundation/memory.h"
#include "work_dir.h"

namespace {

class Dictionary : public ::testing::Test {
protected:
    void SetUp() override {
        engine_set_speaker_mode(0);
        before_ = engine_get_bytes_in_use();
        root_ = dictionary_init();
        ASSERT_NE(root_, nullptr);
    }
    void TearDown() override {
        dictionary_free(root_);
        EXPECT_EQ(engine_get_bytes_in_use(), before_);
    }
    temp_work_dir work_;
    uint32_t before_ = 0;
    dictionary_node* root_ = nullptr;
};

TEST_F(Dictionary, AddingCountsNewNodesAndIgnoresLetterCase) {
    EXPECT_EQ(dictionary_add_a_word(root_, "cab"), 3);
    EXPECT_EQ(dictionary_add_a_word(root_, "CAB"), 0) << "present";
    EXPECT_EQ(dictionary_add_a_word(root_, "ca"), 1) << "new word, no new node";
    EXPECT_EQ(dictionary_add_a_word(root_, "cab-1"), 2);
    EXPECT_EQ(dictionary_has_word(root_, "cab_1"), 1) << "other characters share one slot";
    EXPECT_EQ(dictionary_add_a_word(root_, ""), -1);
    EXPECT_STREQ(engine_get_last_error(), "dictionary_add_a_word: bad arguments\n");
    EXPECT_EQ(dictionary_add_a_word(nullptr, "x"), -1);
    EXPECT_STREQ(engine_get_last_error(), "dictionary_add_a_word: bad arguments\n");
}

TEST_F(Dictionary, DeletingKeepsLongerAndShorterWords) {
    dictionary_add_a_word(root_, "track");
    dictionary_add_a_word(root_, "track12");
    EXPECT_EQ(dictionary_delete_a_word(root_, "track", 1), 0);
    EXPECT_EQ(dictionary_has_word(root_, "track"), 0);
    EXPECT_EQ(dictionary_has_word(root_, "track12"), 1);
    dictionary_add_a_word(root_, "track");
    EXPECT_EQ(dictionary_delete_a_word(root_, "track12", 1), 0);
    EXPECT_EQ(dictionary_has_word(root_, "track12"), 0);
    EXPECT_EQ(dictionary_has_word(root_, "track"), 1);
    EXPECT_EQ(dictionary_delete_a_word(root_, "absent", 1), 0);
    EXPECT_EQ(dictionary_delete_a_word(nullptr, "x", 1), -1);
    EXPECT_STREQ(engine_get_last_error(), "dictionary_delete_a_word: bad arguments\n");
}

TEST_F(Dictionary, UniqueNamesTakeTheFirstFreeSuffix) {
    std::string name = "light";
    EXPECT_EQ(dictionary_add_a_word_unique(root_, name), 0);
    EXPECT_EQ(name, "light");
    name = "LIGHT";
    EXPECT_EQ(dictionary_add_a_word_unique(root_, name), 2);
    EXPECT_EQ(name, "LIGHT_2");
    name = "light";
    EXPECT_EQ(dictionary_add_a_word_unique(root_, name), 3);
    EXPECT_EQ(name, "light_3");
    name = "light_2";
    EXPECT_EQ(dictionary_add_a_word_unique(root_, name), 4) << "cut before the '_' first";
    EXPECT_EQ(name, "light_4");
}

TEST_F(Dictionary, ANameEndingInDigitsWithoutUnderscoreKeepsThem) {
    std::string name = "pole7";
    dictionary_add_a_word_unique(root_, name);
    EXPECT_EQ(dictionary_add_a_word_unique(root_, name), 2);
    EXPECT_EQ(name, "pole7_2");
    EXPECT_EQ(dictionary_has_word(root_, "pole7_2"), 1);
}

}  // namespace

namespace {

TEST(UniqueNames, ListNamesTakeTheFirstFreeSuffix) {
    temp_work_dir work;
    engine_set_speaker_mode(0);
    const std::set<std::string> lights = {"lamp", "lamp_2", "lamp_3"};
    auto taken = [&](const std::string& name) { return lights.count(name) > 0; };
    std::string name = "free";
    EXPECT_EQ(find_unique_name(name, taken, false, "light_find_unique_name"), 0);
    EXPECT_EQ(name, "free");
    name = "lamp";
    EXPECT_EQ(find_unique_name(name, taken, false, "light_find_unique_name"), 0);
    EXPECT_EQ(name, "lamp_4");
    name = "lamp_2";
    EXPECT_EQ(find_unique_name(name, taken, false, "light_find_unique_name"), 0);
    EXPECT_EQ(name, "lamp_2_2") << "lists that keep the ending";
    name = "lamp_2";
    EXPECT_EQ(find_unique_name(name, taken, true, "animation_find_unique_name"), 0);
    EXPECT_EQ(name, "lamp_4") << "lists that cut the ending";
    name = "all";
    EXPECT_EQ(find_unique_name(name, [](const std::string&) { return true; }, false, "trk_find_unique_name"), -1);
    EXPECT_STREQ(engine_get_last_error(), "trk_find_unique_name: very strange indeed !\n");
    EXPECT_EQ(name, "all");
}

}  // namespace
