#pragma once

#include <QWidget>

#include "playback/FolderChoice.h"

// The folder buttons' open-file dialog: Qt's own, so that it looks alike on every platform.
class QtFileDialog final : public orvane::FileDialog {
 public:
  explicit QtFileDialog(QWidget* parent) : parent_(parent) {}

  std::optional<std::string> ChooseFile(const orvane::FileDialogRequest& request) override;

 private:
  QWidget* parent_;
};
