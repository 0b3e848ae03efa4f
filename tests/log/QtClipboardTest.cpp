#include "log/QtClipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

namespace orvane {
namespace {

TEST(QtClipboard, ReplacesTheClipboardWithTheTextAsUnicode) {
  QGuiApplication::clipboard()->setText("older contents");
  QtClipboard clipboard;
  clipboard.SetText("Time\tSong\n\n21/03/2024 \xC3\xA9t\xC3\xA9\tgood\n");
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QString::fromUtf8("Time\tSong\n\n21/03/2024 \xC3\xA9t\xC3\xA9\tgood\n"));
}

}  // namespace
}  // namespace orvane
