#include "analyses/common/AnalysisResults.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "analyses/common/AnalysisOptions.h"
#include "shell/PelmorGridHelpers.h"
#include "core/PelmorRandom.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/DataFiles.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

void TWindowRunHooks::ProcessMessages() { ::ProcessMessages(); }
bool TWindowRunHooks::StopRequested() const { return Pelmor && Pelmor->AbortRequested; }
void TWindowRunHooks::RequestStop() {
  if (Pelmor) Pelmor->AbortRequested = true;
}
void TWindowRunHooks::Message(const std::string& Text) {
  // Every message of a computing routine is a refusal that ends the run: the progress
  // window goes first, so the message is not left behind it.
  CloseProgressWindow();
  ShowMessage(QString::fromStdString(Text));
}
void TWindowRunHooks::SetCaption(const std::string& Text) {
  if (Progress) Progress->setWindowTitle(QString::fromStdString(Text));
}
void TWindowRunHooks::StepProgress(int32_t Count) {
  if (Progress) Progress->ProgressBar1->setValue(Progress->ProgressBar1->value() + Count);
}
void TWindowRunHooks::SetProgressRange(int32_t Maximum, int32_t Position) {
  if (!Progress) return;
  Progress->ProgressBar1->setMaximum(std::max(Maximum, 1));
  Progress->ProgressBar1->setValue(Position);
}

TAnalysisResults::TAnalysisResults(const QString& AnalysisName, bool WholeCaption, QWidget* Parent)
    : QDialog(Parent) {
  setWindowTitle(WholeCaption ? AnalysisName : QStringLiteral("Pelmor -- ") + AnalysisName + QStringLiteral(" Results"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  layout->addWidget(PageControl1, 1);
  SummarySheet = new QWidget(PageControl1);
  SummarySheet->setObjectName(QStringLiteral("SummarySheet"));
  auto* summaryLayout = new QVBoxLayout(SummarySheet);
  Memo1 = new QPlainTextEdit(SummarySheet);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setAccessibleName(QStringLiteral("Summary"));
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setFont(QFont(QStringLiteral("Monospace")));
  summaryLayout->addWidget(Memo1);
  PageControl1->addTab(SummarySheet, QStringLiteral("Summary"));

  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("ButtonPanel"));
  auto* buttons = new QHBoxLayout(panel);
  buttons->setContentsMargins(0, 0, 0, 0);
  SaveSummaryButton = new QPushButton(QStringLiteral("&Save summary to file"), panel);
  SaveSummaryButton->setObjectName(QStringLiteral("SaveSummaryButton"));
  HelpButton = new QPushButton(QStringLiteral("&Help"), panel);
  HelpButton->setObjectName(QStringLiteral("HelpButton"));
  CloseButton = new QPushButton(QStringLiteral("&Close"), panel);
  CloseButton->setObjectName(QStringLiteral("CloseButton"));
  for (QPushButton* b : {SaveSummaryButton, HelpButton, CloseButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  EqualButtonWidths({SaveSummaryButton, HelpButton, CloseButton});
  TimeMemo = new QPlainTextEdit(panel);
  TimeMemo->setObjectName(QStringLiteral("TimeMemo"));
  TimeMemo->setAccessibleName(QStringLiteral("Start and stop time"));
  TimeMemo->setReadOnly(true);
  TimeMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  TimeMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  TimeMemo->setFixedHeight(TimeMemo->fontMetrics().lineSpacing() * 2 + 12);
  TimeMemo->setPlainText(QStringLiteral("\n"));
  // Room for its longer line whole, however many buttons a window sets beside it.
  TimeMemo->setMinimumWidth(TimeMemo->fontMetrics().horizontalAdvance(QStringLiteral("Start time = ") + TimeOfDay()) +
                            2 * static_cast<int>(TimeMemo->document()->documentMargin()) +
                            2 * TimeMemo->frameWidth() + 8);
  buttons->addWidget(TimeMemo, 1);
  layout->addWidget(panel);

  connect(SaveSummaryButton, &QPushButton::clicked, this, [this] { SaveSummaryButtonClick(); });
  connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
  connect(CloseButton, &QPushButton::clicked, this, [this] { close(); });
  resize(720, 520);
}

void TAnalysisResults::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  for (QPlainTextEdit* pane : findChildren<QPlainTextEdit*>()) pane->setTabChangesFocus(true);
}

QWidget* TAnalysisResults::AddSheet(const QString& Caption) {
  auto* sheet = new QWidget(PageControl1);
  PageControl1->insertTab(PageControl1->indexOf(SummarySheet), sheet, Caption);
  return sheet;
}

void TAnalysisResults::SetSheetVisible(QWidget* Sheet, bool Visible) {
  // Qt's tab bar forgets a pending relayout of a hidden window when told to keep a tab
  // as it is, and a tab it should have brought back stays without room (seen with Qt
  // 6.4): a tab whose visibility does not change is left alone.
  const int i = PageControl1->indexOf(Sheet);
  if (i < 0) return;
  if (PageControl1->isTabVisible(i) != Visible) PageControl1->setTabVisible(i, Visible);
  // Ctrl+Tab turns only to enabled tabs and does not look at their visibility: a hidden
  // tab is disabled too, so that the keyboard never brings up a page without its tab.
  if (PageControl1->isTabEnabled(i) != Visible) PageControl1->setTabEnabled(i, Visible);
}

void TAnalysisResults::SetTimeLine(int Line, const QString& Text) {
  QStringList lines = TimeMemo->toPlainText().split(QLatin1Char('\n'));
  while (lines.size() < 2) lines << QString();
  if (Line >= 0 && Line < 2) lines[Line] = Text;
  TimeMemo->setPlainText(lines.mid(0, 2).join(QLatin1Char('\n')));
}

QString TAnalysisResults::TimeLine(int Line) const {
  const QStringList lines = TimeMemo->toPlainText().split(QLatin1Char('\n'));
  return Line >= 0 && Line < lines.size() ? lines[Line] : QString();
}

QStringList TAnalysisResults::SummaryLines() const { return MemoLines(*Memo1); }

bool TAnalysisResults::SaveSummaryButtonClick() {
  const auto chosen =
      Prompts().SaveFileName(this, QStringLiteral("Select a file name."), CurrentDir(), QStringLiteral("summary.txt"));
  if (!chosen) return false;
  if (!WriteFileSafely(*chosen, TextLinesFileBytes(SummaryLines()))) {
    ShowMessage(QStringLiteral("Error writing file."));
    return false;
  }
  return true;
}

void TAnalysisResults::HelpButtonClick() {
  if (Pelmor) Pelmor->RunHelp();
}

void TAnalysisResults::StepProgress(int32_t) {
  if (Progress) Progress->StepIteration();
}

QWidget* TAnalysisResults::ResultPage() const { return PageControl1->widget(0); }

void TAnalysisResults::ReadIterations() {
  // One count for the whole run: the one the launcher took from the dialog, or the
  // dialog's own when the run was started without the launcher.
  Iterations = Pelmor && Pelmor->RunEnabled ? Pelmor->Iterations : OptionsDialog()->IterationsValue();
}

void TAnalysisResults::SeedFromDialog() {
  SeedEntered = OptionsDialog()->SeedValue();
  SeedUsed = SeedGenerator(SeedEntered);
}

TRunHooks& TAnalysisResults::Hooks() {
  static TWindowRunHooks hooks;
  return hooks;
}

void TAnalysisResults::ShowInputMatrix(TStringGrid& Grid) {
  Grid.SetCells(Pelmor->MainGrid->Model()->CompactCells());
  // A copy to look at: its titles stay in view, Tab goes on to the next control.
  Grid.SetFixedCols(1);
  Grid.SetFixedRows(1);
  Grid.SetEditing(false);
}

bool TAnalysisResults::GuardRunSize() {
  // Nothing below may divide by the iteration count or read data the grid lacks.
  if (Iterations < 1) {
    ShowMessage(QStringLiteral("Iterations must be > 0."));
    return false;
  }
  const int rows = Pelmor->MainGrid->RowCount() - 1;
  const int cols = Pelmor->MainGrid->ColCount() - 1;
  if (rows < MinDataRows()) {
    ShowMessage(QStringLiteral("At least %1 rows of data required.").arg(MinDataRows()));
    return false;
  }
  if (cols < MinDataCols()) {
    ShowMessage(QStringLiteral("At least %1 columns of data required.").arg(MinDataCols()));
    return false;
  }
  return true;
}

void TAnalysisResults::EndWithoutResults() {
  Pelmor->AbortRequested = true;
  CloseProgressWindow();
  ReleaseStorage();
}

bool TAnalysisResults::FiguresFinite(TFigureStage Stage, int32_t Iteration) {
  TFigureCheck check(Stage, Iteration);
  CheckFigures(check);
  if (!check.Failed()) return true;
  CloseProgressWindow();
  ShowMessage(QString::fromStdString(check.Message()));
  Pelmor->AbortRequested = true;
  return false;
}

void TAnalysisResults::Run() {
  TPelmor& p = *Pelmor;
  Completed = false;
  Iterations = 0;
  const TRunOrder order = Order();
  auto startTime = [this] { SetTimeLine(1, QStringLiteral("Start time = ") + TimeOfDay()); };

  if (!Prepare()) return;
  if (order.StartTime == TRunOrder::StartBeforeInit) startTime();
  const bool initPassed = Init();
  if (!initPassed || !GuardRunSize()) {
    const QString failed = InitFailedMessage();
    if (!failed.isEmpty()) ShowMessage(failed);
    // A refusal by the frame's own guard stops a batch like any failed check; an
    // analysis whose Init refuses without a further message keeps its own rule.
    if (!failed.isEmpty() || initPassed) p.AbortRequested = true;
    ReleaseStorage();
    return;
  }
  SaveSimulations = OptionsDialog()->SaveMatricesChecked();
  // The progress window and the simulation statistics read the run state's count.
  p.Iterations = Iterations;

  if (order.Observed == TRunOrder::ObservedAfterInit && !ObservedFinite()) return EndWithoutResults();
  // The stop flag is cleared before the progress window appears, so that an abort
  // clicked as soon as it shows is never lost.
  p.AbortRequested = false;
  ShowProgress(ModelName());
  if (Progress) Progress->setWindowTitle(QStringLiteral("Simulating...") + ExtractFileName(p.FileName));
  if (order.ProcessMessagesBeforeLoop) ProcessMessages(true);
  if (p.AbortRequested) return EndWithoutResults();
  if (order.Observed == TRunOrder::ObservedAfterProgress && !ObservedFinite()) return EndWithoutResults();
  if (order.StartTime == TRunOrder::StartAfterStopFlagCleared) startTime();
  if (order.Observed == TRunOrder::ObservedAfterStopFlagCleared && !ObservedFinite()) return EndWithoutResults();

  const int32_t blocks = Blocks();
  for (int32_t b = 0; b < blocks; ++b) {
    if (!BeginBlock(b) || p.AbortRequested) return EndWithoutResults();
    for (int32_t i = 1; i <= Iterations; ++i) {
      ProcessMessages();
      if (p.AbortRequested) return EndWithoutResults();
      if (!Simulate(i) || p.AbortRequested) return EndWithoutResults();
      if (SaveSimulations) {
        SaveSimulated(i);
        if (p.AbortRequested) return EndWithoutResults();
      }
      Measure(i);
      if (!FiguresFinite(TFigureStage::Simulated, i)) return EndWithoutResults();
      StepProgress(i);
    }
    if (!EndBlock(b) || p.AbortRequested) return EndWithoutResults();
  }
  // A stop asked for during the last iteration (by the user or a failure) must not
  // let the run report as if it had gone through.
  ProcessMessages(true);
  if (p.AbortRequested) return EndWithoutResults();

  Summarize();
  if (!FiguresFinite(TFigureStage::Summary)) return EndWithoutResults();
  Display();
  TSummaryText summary;
  BuildSummary(summary);
  summary.WriteTo(*Memo1);
  SetTimeLine(0, QStringLiteral("Stop time = ") + TimeOfDay());
  if (QWidget* page = ResultPage()) PageControl1->setCurrentWidget(page);
  const TBatchRow row = BatchRow();
  p.BuildBatchSummaryFirstRow();
  p.BuildBatchSummaryFile(p.FileName, row.SES, row.LowerTail, row.UpperTail);
  ReleaseStorage();
  Completed = true;

  if (p.BatchMode && p.RunEnabled) {
    if (!SaveBatchFiles() || !p.SaveBatchSummary(SummaryLines())) {
      CloseProgressWindow();
      ShowMessage(QStringLiteral("Batch processing error."));
      p.AbortRequested = true;
    }
    // On success the progress window stays up for the next file.
    return;
  }
  CloseProgressWindow();
  ShowModal(this);
}
