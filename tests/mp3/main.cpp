// The mp3 tests: the main window needs a QApplication (offscreen, set by the
// test's environment); GStreamer starts with the first player or song.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
