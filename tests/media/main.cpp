// The media tests: the GStreamer player needs no Qt, the progress bar needs a
// QApplication (offscreen, set by the test's environment).

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
