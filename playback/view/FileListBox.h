#pragma once

#include <QListWidget>
#include <optional>
#include <string>

#include "control/Colour.h"
#include "playback/FileList.h"
#include "playback/FolderChoice.h"
#include "playback/platform/FolderReader.h"

// A song folder's WAV files, one plain name per line; the experimenter picks one.
class TFileListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit TFileListBox(QWidget* parent = nullptr);

  // Throws EInOutError and leaves the list as it was when the folder cannot be entered.
  void ApplyFilePath(const std::string& path);
  // The folder button's work: returns the folder field's new text, or nothing on cancel.
  // EInOutError propagates with the list as it was.
  std::optional<std::string> ChooseFolder(orvane::FileDialog& dialog);
  const std::string& Directory() const { return list_.Directory(); }
  std::string FileName() const { return list_.FileName(); }
  const orvane::FileList& List() const { return list_; }
  orvane::FileList& List() { return list_; }

  void SetColour(orvane::Colour colour);

  // Shows the model's entries and selection after the model was changed directly.
  void Refresh();

 signals:
  // The experimenter picked an entry with the mouse or the keyboard, also the one already
  // picked: its song may need loading anew.
  void selectionChangedByUser();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void TakeSelection();

  orvane::FileSystemFolderReader reader_;
  orvane::FileList list_;
  bool refreshing_ = false;
};
