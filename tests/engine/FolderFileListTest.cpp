#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/FolderFileList.h"

namespace {

namespace fs = std::filesystem;

class FolderFileListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() /
            ("engine_files_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "songs");
        fs::create_directories(root_ / "empty");
        for (const char* name : {"b.mp3", "a.MP3", "c.txt", "d.mp3x"}) {
            std::ofstream(root_ / "songs" / name) << "x";
        }
    }
    void TearDown() override {
        std::error_code ignored;
        fs::current_path(saved_, ignored);
        fs::remove_all(root_, ignored);
    }
    fs::path root_;
    fs::path saved_ = fs::current_path();
};

TEST_F(FolderFileListTest, StartsOnTheCurrentFolderHiddenWithNothingSelected) {
    fs::current_path(root_ / "songs");
    engine::FolderFileList list;
    EXPECT_EQ(fs::path(list.Path()), fs::current_path());
    EXPECT_EQ(list.Count(), 2);
    EXPECT_FALSE(list.Visible());
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.FileName(), "");
}

TEST_F(FolderFileListTest, SetPathListsTheMp3sOrKeepsThePreviousFolder) {
    engine::FolderFileList list;
    const std::string songs = (root_ / "songs").string();
    ASSERT_TRUE(list.SetPath(songs));
    EXPECT_EQ(list.Path(), songs);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0), "a.MP3");
    EXPECT_EQ(list.Item(1), "b.mp3");
    EXPECT_EQ(list.Item(2), "");
    EXPECT_EQ(list.Item(-1), "");
    list.SetListIndex(1);
    EXPECT_EQ(list.FileName(), "b.mp3");

    EXPECT_FALSE(list.SetPath((root_ / "missing").string()));
    EXPECT_EQ(list.Path(), songs);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.FileName(), "b.mp3");

    EXPECT_TRUE(list.SetPath((root_ / "empty").string()));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ListIndex(), -1);
    list.SetListIndex(0);
    EXPECT_EQ(list.ListIndex(), -1);
    list.SetVisible(true);
    EXPECT_TRUE(list.Visible());
}

}  // namespace
