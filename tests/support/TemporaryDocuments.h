#pragma once

#include <QString>
#include <QTemporaryDir>

namespace orvane::testing {

// A documents folder of the test's own, so that nothing a test writes reaches the user's own
// documents: a temporary settings folder whose user folder list puts the documents folder inside
// it, for Qt's standard paths to report. The sound server is still found there, through a link to
// the user's own sound settings.
class TemporaryDocuments {
 public:
  TemporaryDocuments();

  // The value of XDG_CONFIG_HOME that points a process at it.
  QString SettingsFolder() const { return folder_.filePath(QStringLiteral("settings")); }
  QString DocumentsFolder() const { return folder_.filePath(QStringLiteral("documents")); }
  // Points this process at it; before the application object exists.
  void UseInThisProcess() const;

 private:
  QTemporaryDir folder_;
};

}  // namespace orvane::testing
