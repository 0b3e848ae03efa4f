#include "playback/view/QtFileDialog.h"

#include <QDir>
#include <QFileDialog>

std::optional<std::string> QtFileDialog::ChooseFile(const orvane::FileDialogRequest& request) {
  QFileDialog dialog(parent_);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // The experimenter may confirm a name that does not exist: only its folder counts.
  dialog.setFileMode(QFileDialog::AnyFile);
  // The description names the pattern; matching ignores case, so "*.wav" covers request's "*.WAV".
  dialog.setNameFilter(QString::fromStdString(request.filter_description));
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  if (!request.initial_folder.empty()) {
    dialog.setDirectory(QString::fromStdString(request.initial_folder));
  }
  dialog.selectFile(QString::fromStdString(request.initial_name));
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}
