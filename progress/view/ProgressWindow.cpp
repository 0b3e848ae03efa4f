#include "progress/view/ProgressWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <filesystem>

#include "progress/BlockValuesText.h"
#include "progress/PastRuns.h"
#include "progress/view/ChartExport.h"
#include "progress/view/OffTheWindowThread.h"
#include "progress/view/ProgressCharts.h"

namespace {

const QString kBlockSizeKey = QStringLiteral("progress/block_size");
// More would push the charts out of the window; the rest are counted.
constexpr qsizetype kProblemsShown = 6;

enum Export { kPng, kPrintPng, kPdf, kBlockValues };
// A picture for print: the charts as on the screen, at this many dots per inch of paper.
constexpr int kScreenDpi = 96;
constexpr int kPrintDpi = 300;

QString EscapedText(const orvane::KindCount& count) {
  return QStringLiteral("%1 of %2 escaped").arg(count.escaped).arg(count.trials);
}

}  // namespace

ProgressWindow::ProgressWindow(const Setup& setup, QWidget* parent)
    : QWidget(parent, Qt::Window), setup_(setup), plot_(RememberedBlockSize()) {
  setWindowTitle(QStringLiteral("Progress"));
  setObjectName(QStringLiteral("ProgressWindow"));

  block_size_ = new QComboBox(this);
  block_size_->setObjectName(QStringLiteral("block_size"));
  for (const int size : kBlockSizes) {
    block_size_->addItem(QString::number(size), size);
  }
  block_size_->setCurrentIndex(block_size_->findData(plot_.BlockSize()));
  connect(block_size_, &QComboBox::activated, this,
          [this](int index) { SetBlockSize(block_size_->itemData(index).toInt()); });

  counted_ = new QLabel(this);
  every_decision_ = new QCheckBox(QStringLiteral("Every decision"), this);
  every_decision_->setObjectName(QStringLiteral("every_decision"));
  every_decision_->setToolTip(
      QStringLiteral("A song decided more than once is counted at its first decision only; "
                     "tick to count each of its decisions."));
  connect(every_decision_, &QCheckBox::toggled, this, &ProgressWindow::SetEveryDecision);

  auto* open = new QPushButton(QStringLiteral("Open runs…"), this);
  open->setObjectName(QStringLiteral("open_runs"));
  connect(open, &QPushButton::clicked, this, &ProgressWindow::ChooseRunsToOpen);

  auto* exports = new QMenu(this);
  exports->addAction(QStringLiteral("Charts as PNG…"), this, [this] { ChooseExport(kPng); });
  exports->addAction(QStringLiteral("Charts as PNG for print (300 dpi)…"), this,
                     [this] { ChooseExport(kPrintPng); });
  exports->addAction(QStringLiteral("Charts as PDF…"), this, [this] { ChooseExport(kPdf); });
  exports->addAction(QStringLiteral("Block values as TSV…"), this,
                     [this] { ChooseExport(kBlockValues); });
  auto* save = new QPushButton(QStringLiteral("Export"), this);
  save->setObjectName(QStringLiteral("export"));
  save->setMenu(exports);

  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("summary"));
  auto* bar = new QHBoxLayout;
  bar->addWidget(new QLabel(QStringLiteral("Blocks of"), this));
  bar->addWidget(block_size_);
  bar->addWidget(counted_);
  bar->addWidget(every_decision_);
  bar->addSpacing(16);
  bar->addWidget(summary_, 1);
  bar->addWidget(open);
  bar->addWidget(save);

  problems_label_ = new QLabel(this);
  problems_label_->setObjectName(QStringLiteral("problems"));
  problems_label_->setWordWrap(true);
  problems_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  problems_label_->setStyleSheet(QStringLiteral(
      "QLabel { color: #7a1d00; background: #fff4d6; border: 1px solid #e0b050; padding: 4px; }"));
  problems_label_->hide();
  notes_label_ = new QLabel(this);
  notes_label_->setObjectName(QStringLiteral("notes"));
  notes_label_->setWordWrap(true);
  notes_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  notes_label_->setStyleSheet(QStringLiteral(
      "QLabel { color: #1d3a5a; background: #eaf2fb; border: 1px solid #9cb8d8; padding: 4px; }"));
  notes_label_->hide();

  charts_ = new ProgressCharts(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(problems_label_);
  layout->addWidget(notes_label_);
  layout->addWidget(charts_, 1);
  resize(960, 760);

  charts_->Redraw(plot_);
  ShowSummary();
}

ProgressWindow::~ProgressWindow() {
  *wanted_ = false;
}

int ProgressWindow::RememberedBlockSize() const {
  const QSettings settings(setup_.settings_file, QSettings::IniFormat);
  const int remembered = settings.value(kBlockSizeKey, kDefaultBlockSize).toInt();
  for (const int size : kBlockSizes) {
    if (size == remembered) {
      return size;
    }
  }
  return kDefaultBlockSize;
}

void ProgressWindow::AddTrial(const orvane::TrialRow& row) {
  if (!live_run_begun_) {
    live_run_begun_ = true;
    plot_.BeginRun({.ongoing = true});
  }
  waiting_.push_back(row);
  if (!draw_queued_) {
    draw_queued_ = true;
    QMetaObject::invokeMethod(this, &ProgressWindow::DrawWaiting, Qt::QueuedConnection);
  }
}

void ProgressWindow::DrawWaiting() {
  draw_queued_ = false;
  if (waiting_.empty()) {
    return;
  }
  for (const orvane::TrialRow& row : waiting_) {
    plot_.Add(row);
  }
  waiting_.clear();
  charts_->DrawNew(plot_);
  ShowSummary();
}

QFuture<void> ProgressWindow::ShowRuns(const QStringList& files) {
  std::vector<std::filesystem::path> paths;
  for (const QString& file : files) {
    paths.emplace_back(file.toStdU16String());  // a wide string converts only ASCII off Windows
  }
  return ShowRuns(paths);
}

QFuture<void> ProgressWindow::ShowRuns(const std::vector<std::filesystem::path>& files) {
  setWindowTitle(QStringLiteral("Progress: reading…"));
  const QString title = files.size() == 1
                            ? QStringLiteral("Progress: %1")
                                  .arg(QString::fromStdString(orvane::TableNameOf(files.front())))
                            : QString();
  // Handed over behind a pointer: the result of a future is copied, and a long run's rows are
  // many.
  return OffTheWindowThread([files, wanted = wanted_] {
           return std::make_shared<const orvane::PastRuns>(
               orvane::LoadPastRuns(files, [&wanted] { return wanted->load(); }));
         })
      .then(this, [this, title](const std::shared_ptr<const orvane::PastRuns>& read) {
        const orvane::PastRuns& past = *read;
        orvane::PlotRuns(past.runs, plot_);
        for (const std::string& problem : past.problems) {
          problems_.append(QString::fromStdString(problem));
        }
        for (const orvane::TrialTable& run : past.runs) {
          if (run.latencies_are_first_leaves) {
            notes_.append(QStringLiteral("%1 was written before an escape was told apart from a "
                                         "bird that left and came back: its latencies are the "
                                         "times the bird first left the perch.")
                              .arg(QString::fromStdString(run.name)));
          }
        }
        setWindowTitle(
            !title.isEmpty() ? title : QStringLiteral("Progress: %1 runs").arg(past.runs.size()));
        charts_->Redraw(plot_);
        ShowSummary();
        ShowProblems();
      });
}

ProgressWindow* ProgressWindow::OpenRuns(const QStringList& files) {
  auto* window = new ProgressWindow(setup_, parentWidget() != nullptr ? parentWidget() : this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->ShowRuns(files);
  window->show();
  return window;
}

void ProgressWindow::SetBlockSize(int block_size) {
  DrawWaiting();
  block_size_->setCurrentIndex(block_size_->findData(block_size));
  QSettings(setup_.settings_file, QSettings::IniFormat).setValue(kBlockSizeKey, block_size);
  plot_.SetBlockSize(block_size);
  charts_->Redraw(plot_);
  ShowSummary();
}

void ProgressWindow::SetEveryDecision(bool every) {
  if (every_decision_->isChecked() != every) {
    every_decision_->setChecked(every);  // whose toggle comes back here
    return;
  }
  DrawWaiting();
  plot_.SetCounting(every ? orvane::Counting::kEveryDecision : orvane::Counting::kFirstDecisions);
  charts_->Redraw(plot_);
  ShowSummary();
}

void ProgressWindow::ShowSummary() {
  const bool songs = plot_.CountingOf() == orvane::Counting::kFirstDecisions;
  counted_->setText(songs ? QStringLiteral("songs") : QStringLiteral("decisions"));
  const int runs = static_cast<int>(plot_.Runs().size());
  QString text = QStringLiteral("%1 (%2)").arg(
      plot_.Songs() == 1 ? QStringLiteral("1 song") : QStringLiteral("%1 songs").arg(plot_.Songs()),
      plot_.Decisions() == 1 ? QStringLiteral("1 decision")
                             : QStringLiteral("%1 decisions").arg(plot_.Decisions()));
  if (runs > 1) {
    text += QStringLiteral(" in %1 runs").arg(runs);
  }
  text += QStringLiteral("   bad song: %1   neutral song: %2")
              .arg(EscapedText(plot_.Total(orvane::kBadSong)),
                   EscapedText(plot_.Total(orvane::kNeutralSong)));
  summary_->setText(text);
}

void ProgressWindow::ShowProblems() {
  QStringList shown = problems_.mid(0, kProblemsShown);
  if (problems_.size() > kProblemsShown) {
    shown.append(QStringLiteral("… and %1 more.").arg(problems_.size() - kProblemsShown));
  }
  problems_label_->setText(shown.join(QLatin1Char('\n')));
  problems_label_->setVisible(!problems_.isEmpty());
  notes_label_->setText(notes_.join(QLatin1Char('\n')));
  notes_label_->setVisible(!notes_.isEmpty());
}

void ProgressWindow::ChooseRunsToOpen() {
  const QStringList files = QFileDialog::getOpenFileNames(
      this, QStringLiteral("Open runs"), setup_.runs_folder,
      QStringLiteral("Trial tables (*trials.tsv);;Tab-separated tables (*.tsv);;All files (*)"));
  if (!files.isEmpty()) {
    OpenRuns(files);
  }
}

void ProgressWindow::ChooseExport(int what) {
  static const char* const kCaptions[] = {"Save the charts as PNG",
                                          "Save the charts as PNG for print",
                                          "Save the charts as PDF", "Save the block values as TSV"};
  static const char* const kNames[] = {"progress.png", "progress 300 dpi.png", "progress.pdf",
                                       "progress blocks.tsv"};
  static const char* const kFilters[] = {"PNG pictures (*.png)", "PNG pictures (*.png)",
                                         "PDF documents (*.pdf)", "Tab-separated tables (*.tsv)"};
  const QString file = QFileDialog::getSaveFileName(
      this, QString::fromLatin1(kCaptions[what]),
      QDir(setup_.runs_folder).filePath(QString::fromLatin1(kNames[what])),
      QString::fromLatin1(kFilters[what]));
  if (file.isEmpty()) {
    return;
  }
  QFuture<QString> saved = what == kPng        ? SaveChartsAsPng(file)
                           : what == kPrintPng ? SaveChartsAsPrintPng(file)
                           : what == kPdf      ? SaveChartsAsPdf(file)
                                               : SaveBlockValues(file);
  saved.then(this, [this](const QString& error) {
    if (!error.isEmpty()) {
      QMessageBox::warning(this, windowTitle(), error);
    }
  });
}

QFuture<QString> ProgressWindow::SaveChartsAsPng(const QString& file) {
  return SaveCharts(file, [this] { return charts_->Png(1.0, kScreenDpi); });
}

QFuture<QString> ProgressWindow::SaveChartsAsPrintPng(const QString& file) {
  return SaveCharts(file, [this] {
    return charts_->Png(static_cast<double>(kPrintDpi) / kScreenDpi, kPrintDpi);
  });
}

QFuture<QString> ProgressWindow::SaveChartsAsPdf(const QString& file) {
  return SaveCharts(file, [this] { return charts_->Pdf(windowTitle()); });
}

QFuture<QString> ProgressWindow::SaveCharts(const QString& file,
                                            const std::function<QByteArray()>& make) {
  DrawWaiting();
  return OffTheWindowThread([bytes = make(), file] { return SaveBytes(bytes, file); });
}

QFuture<QString> ProgressWindow::SaveBlockValues(const QString& file) {
  DrawWaiting();
  return OffTheWindowThread([bytes = QByteArray::fromStdString(orvane::BlockValuesText(plot_)),
                             file] { return SaveBytes(bytes, file); });
}
