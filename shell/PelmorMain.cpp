#include "shell/PelmorMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/ProgressSims.h"

TPelmor* Pelmor = nullptr;

namespace {
const QString UntitledName = QStringLiteral("Untitled.txt");

QAction* AddItem(QMenu* Menu, const QString& Caption, const QString& Name, const QKeySequence& Key = {},
                 const QString& Hint = {}) {
  QAction* a = Menu->addAction(Caption);
  a->setObjectName(Name);
  if (!Key.isEmpty()) a->setShortcut(Key);
  if (!Hint.isEmpty()) {
    a->setStatusTip(Hint);
    a->setToolTip(Hint);
  }
  return a;
}
}  // namespace

TPelmor::TPelmor(QWidget* Parent) : QMainWindow(Parent) {
  Pelmor = this;
  SetPelmorState(this);
  setObjectName(QStringLiteral("Pelmor"));
  setWindowTitle(QStringLiteral("Pelmor"));

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);

  MainGrid = new TStringGrid(central);
  MainGrid->setObjectName(QStringLiteral("MainGrid"));
  MainGrid->setAccessibleName(QStringLiteral("Data matrix"));
  MainGrid->SetDefaultColWidth(92);
  MainGrid->SetMoving(true);
  layout->addWidget(MainGrid);

  BatchGroupBox = new QGroupBox(QStringLiteral("Files to analyze..."), central);
  BatchGroupBox->setObjectName(QStringLiteral("BatchGroupBox"));
  auto* batchLayout = new QVBoxLayout(BatchGroupBox);
  Memo1 = new QPlainTextEdit(BatchGroupBox);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setAccessibleName(QStringLiteral("Files to analyze"));
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  batchLayout->addWidget(Memo1);
  Memo1->hide();
  BatchGroupBox->hide();
  layout->addWidget(BatchGroupBox, 1);

  BatchSummaryBox = new QGroupBox(QStringLiteral("Batch Summary..."), central);
  BatchSummaryBox->setObjectName(QStringLiteral("BatchSummaryBox"));
  auto* summaryLayout = new QVBoxLayout(BatchSummaryBox);
  BatchGrid = new TStringGrid(BatchSummaryBox);
  BatchGrid->setObjectName(QStringLiteral("BatchGrid"));
  BatchGrid->setAccessibleName(QStringLiteral("Batch summary"));
  BatchGrid->SetSize(4, 1);
  // The header row and the file names stay in view however far the summary scrolls.
  BatchGrid->SetFixedCols(1);
  BatchGrid->SetFixedRows(1);
  BatchGrid->SetDefaultColWidth(102);
  BatchGrid->SetEditing(false);
  summaryLayout->addWidget(BatchGrid);
  BatchGrid->hide();
  BatchSummaryBox->hide();
  layout->addWidget(BatchSummaryBox, 1);

  setCentralWidget(central);
  statusBar();  // menu hints show here
  CreateMenus();
  resize(800, 560);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  FormCreate();
}

TPelmor::~TPelmor() {
  if (Pelmor == this) Pelmor = nullptr;
  SetPelmorState(nullptr);
}

void TPelmor::CreateMenus() {
  QMenuBar* bar = menuBar();
  File1 = bar->addMenu(QStringLiteral("&File"));
  File1->setObjectName(QStringLiteral("File1"));
  New1 = AddItem(File1, QStringLiteral("&New"), QStringLiteral("New1"), QKeySequence(Qt::CTRL | Qt::Key_N));
  Open1 = AddItem(File1, QStringLiteral("&Open"), QStringLiteral("Open1"), QKeySequence(Qt::CTRL | Qt::Key_O));
  Close1 = AddItem(File1, QStringLiteral("&Close"), QStringLiteral("Close1"));
  Save1 = AddItem(File1, QStringLiteral("&Save"), QStringLiteral("Save1"), QKeySequence(Qt::CTRL | Qt::Key_S));
  Save2 = AddItem(File1, QStringLiteral("Save &As"), QStringLiteral("Save2"));
  AboutFile1 = AddItem(File1, QStringLiteral("Abou&t file"), QStringLiteral("AboutFile1"));
  File1->addSeparator();
  Batch1 = AddItem(File1, QStringLiteral("&Batch ... on/off"), QStringLiteral("Batch1"),
                   QKeySequence(Qt::CTRL | Qt::Key_B));
  Batch1->setCheckable(true);
  ChangeDirectory1 = AddItem(File1, QStringLiteral("Change &Directory"), QStringLiteral("ChangeDirectory1"),
                             QKeySequence(Qt::CTRL | Qt::Key_D));
  ChangeDirectory1->setVisible(false);
  File1->addSeparator();
  Exit1 = AddItem(File1, QStringLiteral("E&xit"), QStringLiteral("Exit1"), QKeySequence(Qt::CTRL | Qt::Key_X));

  Edit1 = bar->addMenu(QStringLiteral("&Edit"));
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setToolTipsVisible(true);
  LockRowTitles1 = AddItem(Edit1, QStringLiteral("lock &Row titles"), QStringLiteral("LockRowTitles1"),
                           QKeySequence(Qt::CTRL | Qt::Key_R),
                           QStringLiteral("Fixed titles do not scroll when the grid scrolls."));
  LockRowTitles1->setCheckable(true);
  LockColumnTitles1 = AddItem(Edit1, QStringLiteral("lock &Column titles"), QStringLiteral("LockColumnTitles1"),
                              QKeySequence(Qt::CTRL | Qt::Key_C));
  LockColumnTitles1->setCheckable(true);
  LockColumnTitles1->setChecked(true);
  Edit1->addSeparator();
  ResizeMatrix1 = AddItem(Edit1, QStringLiteral("Resize &matrix"), QStringLiteral("ResizeMatrix1"),
                          QKeySequence(Qt::CTRL | Qt::Key_M));
  TransposeMatrix1 = AddItem(Edit1, QStringLiteral("&Transpose matrix"), QStringLiteral("TransposeMatrix1"),
                             QKeySequence(Qt::CTRL | Qt::Key_T));
  Edit1->addSeparator();
  EditMatrixAsText1 = AddItem(Edit1, QStringLiteral("&Edit matrix as text"), QStringLiteral("EditMatrixAsText1"),
                              QKeySequence(Qt::CTRL | Qt::Key_E),
                              QStringLiteral("Notepad-style editor for current data set."));

  Analyze1 = bar->addMenu(QStringLiteral("&Analyze"));
  Analyze1->setObjectName(QStringLiteral("Analyze1"));
  CoOccurrence1 = AddItem(Analyze1, QStringLiteral("&1 Co-occurrence"), QStringLiteral("CoOccurrence1"));
  Macroecology1 = AddItem(Analyze1, QStringLiteral("&2 Macroecology"), QStringLiteral("Macroecology1"));
  NicheOverlap1 = AddItem(Analyze1, QStringLiteral("&3 Niche Overlap"), QStringLiteral("NicheOverlap1"));
  SizeOverlap1 = AddItem(Analyze1, QStringLiteral("&4 Size Overlap"), QStringLiteral("SizeOverlap1"));
  SpeciesDiversity1 = AddItem(Analyze1, QStringLiteral("&5 Species Diversity"), QStringLiteral("SpeciesDiversity1"));
  StandardTests1 = Analyze1->addMenu(QStringLiteral("&6 Standard tests"));
  StandardTests1->setObjectName(QStringLiteral("StandardTests1"));
  Anova1 = AddItem(StandardTests1, QStringLiteral("&Anova"), QStringLiteral("Anova1"));
  ChiSquare1 = AddItem(StandardTests1, QStringLiteral("&Chi Square"), QStringLiteral("ChiSquare1"));
  Regression1 = AddItem(StandardTests1, QStringLiteral("&Regression"), QStringLiteral("Regression1"));
  RunsTest1 = AddItem(StandardTests1, QStringLiteral("Runs &Test"), QStringLiteral("RunsTest1"));
  GuildStructure1 = AddItem(Analyze1, QStringLiteral("&7 Guild Structure"), QStringLiteral("GuildStructure1"));
  Biogeography1 = AddItem(Analyze1, QStringLiteral("&8 Biogeography"), QStringLiteral("Biogeography1"));
  Biogeography1->setVisible(false);

  Help1 = bar->addMenu(QStringLiteral("&Help"));
  Help1->setObjectName(QStringLiteral("Help1"));
  HelpTopics1 = AddItem(Help1, QStringLiteral("&Help Topics"), QStringLiteral("HelpTopics1"), QKeySequence(Qt::Key_F1));
  About1 = AddItem(Help1, QStringLiteral("&About"), QStringLiteral("About1"));

  // A command given by its key while a cell is being typed into leaves the focus in
  // the cell: what was typed goes into the grid before any command reads it (the
  // menus, by taking the focus, do the same). Connected first, so it runs first.
  for (QMenu* menu : bar->findChildren<QMenu*>())
    for (QAction* a : menu->actions())
      if (!a->menu()) connect(a, &QAction::triggered, this, [this] { MainGrid->CommitEdit(); });
  connect(New1, &QAction::triggered, this, [this] { New1Click(); });
  connect(Open1, &QAction::triggered, this, [this] { Open1Click(); });
  connect(Close1, &QAction::triggered, this, [this] { Close1Click(); });
  connect(Save1, &QAction::triggered, this, [this] { Save1Click(); });
  connect(Save2, &QAction::triggered, this, [this] { Save2Click(); });
  connect(Exit1, &QAction::triggered, this, [this] { close(); });
  connect(LockRowTitles1, &QAction::triggered, this, [this] { LockRowTitlesClick(); });
  connect(LockColumnTitles1, &QAction::triggered, this, [this] { LockColumnTitlesClick(); });
  ConnectEditMenus();
  ConnectServiceMenus();
  ConnectLauncherMenus();
}

void TPelmor::FormCreate() {
  ErrorRow = 0;
  Iterations = 1000;
  RandomSeed = 0;
  FileName = UntitledName;
  setWindowTitle(QStringLiteral("Pelmor...") + FileName);
  NewMatrix();
  HomeDir = CurrentDir();
  ProgramDir = QCoreApplication::applicationDirPath();
  BatchIndex = 0;
  BatchFileCount = 0;
  BatchMode = false;
  BuildBatchSummaryFirstRow();
}

void TPelmor::SetDefaultMatrix() {
  TCellTable cells(6, std::vector<QString>(6, QStringLiteral("0")));
  for (int r = 0; r < 6; ++r) cells[r][0] = QStringLiteral("species") + QString::number(r);
  for (int c = 0; c < 6; ++c) cells[0][c] = QStringLiteral("site") + QString::number(c);
  cells[0][0] = QStringLiteral("species");
  ReplaceGrid(std::move(cells), 6);
}

void TPelmor::ReplaceGrid(TCellTable Cells, int Cols) {
  MainGrid->SetTable(std::move(Cells), Cols);
  MarkGridSaved();
}

void TPelmor::ReplaceGrid(TGridCells Cells) {
  MainGrid->SetCells(std::move(Cells));
  MarkGridSaved();
}

bool TPelmor::GridModified() const { return MainGrid->Model()->EditCount() != SavedEdits; }

void TPelmor::MarkGridSaved() { SavedEdits = MainGrid->Model()->EditCount(); }

bool TPelmor::QuerySaveChanges() {
  if (!GridModified()) return true;
  switch (Prompts().MessageDlg(QStringLiteral("Save changes to ") + FileName + QStringLiteral("?"),
                               TMsgType::Confirmation, TMsgButtons::YesNoCancel)) {
    case TMsgResult::Yes: return Save1Click();
    case TMsgResult::No: return true;
    default: return false;
  }
}

void TPelmor::LockRowColumn() {
  MainGrid->SetFixedCols(1);
  MainGrid->SetFixedRows(1);
  LockRowTitles1->setChecked(true);
  LockColumnTitles1->setChecked(true);
}

void TPelmor::New1Click() {
  if (!QuerySaveChanges()) return;
  NewMatrix();
}

void TPelmor::NewMatrix() {
  SetDefaultMatrix();
  FileName = ExpandFileName(UntitledName);
  setWindowTitle(QStringLiteral("Pelmor...") + FileName);
  LockRowColumn();
}

void TPelmor::Close1Click() {
  if (!QuerySaveChanges()) return;
  SetDefaultMatrix();
  FileName = UntitledName;
  setWindowTitle(QStringLiteral("Pelmor : ") + UntitledName);
  LockRowColumn();
}

void TPelmor::Open1Click() {
  if (!QuerySaveChanges()) return;
  const auto chosen = Prompts().OpenFileName(this, QStringLiteral("Select an ASCII file to open."), CurrentDir(), {});
  if (!chosen) return;
  TReadResult read = ReadMatrixFile(*chosen);
  if (read.State != TReadResult::Ok) {
    // The matrix, its file name and the caption stay as they were.
    ShowMessage(read.Message);
    return;
  }
  FileName = *chosen;
  ReplaceGrid(GridCells(read.Cells));
  setWindowTitle(QStringLiteral("Pelmor : ") + ExpandFileName(FileName));
  LockRowColumn();
}

void TPelmor::OpenBatchFile() {
  RunEnabled = false;
  TReadResult read = ReadMatrixFile(FileName);
  if (read.State == TReadResult::Missing || read.State == TReadResult::Unreadable) {
    ShowMessage(FileName + QStringLiteral(": Error opening file."));
    return;
  }
  if (read.State != TReadResult::Ok) {
    // A refused file stops the batch: running on the previous file's matrix under
    // this file's name would report results for data that were never read. The size
    // refusal names the file, since nothing else tells which file of the list it was.
    ShowMessage(read.State == TReadResult::TooLarge ? FileName + QStringLiteral(": ") + read.Message : read.Message);
    return;
  }
  // An accepted file has at least two rows, so it held a line end.
  RunEnabled = true;
  ReplaceGrid(GridCells(read.Cells));
  setWindowTitle(QStringLiteral("Pelmor : ") + FileName);
  LockRowColumn();
}

bool TPelmor::SaveGridToFile(const TStringGrid& Grid, const QString& Name) {
  const QByteArray bytes = MatrixFileBytes(*Grid.Model());
  if (!WriteFileSafely(Name, bytes)) {
    ShowMessage(QStringLiteral("Error writing file."));
    return false;
  }
  return true;
}

bool TPelmor::Save1Click() {
  if (ExtractFileName(FileName) == UntitledName) return Save2Click();
  // A failed write leaves the name, the caption and the unsaved state as they were.
  if (!SaveGridToFile(*MainGrid, FileName)) return false;
  MarkGridSaved();
  setWindowTitle(QStringLiteral("Pelmor : ") + FileName);
  return true;
}

bool TPelmor::Save2Click() {
  const auto chosen = Prompts().SaveFileName(this, QStringLiteral("Select a file name."), CurrentDir(),
                                             QStringLiteral("data.txt"));
  // The new name is kept only when the matrix was written to it.
  if (!chosen || !SaveGridToFile(*MainGrid, *chosen)) return false;
  FileName = *chosen;
  MarkGridSaved();
  setWindowTitle(QStringLiteral("Pelmor : ") + FileName);
  return true;
}

void TPelmor::FormShow() {
  if (ErrorRow > 0) MainGrid->SetRow(ErrorRow);
  CloseProgressWindow();
}

bool TPelmor::FormCloseQuery() {
  // A changed matrix is offered for saving; that question stands for the other.
  if (GridModified()) return QuerySaveChanges();
  return Prompts().MessageDlg(QStringLiteral("Close Pelmor?"), TMsgType::Confirmation, TMsgButtons::OKCancel) ==
         TMsgResult::OK;
}

void TPelmor::showEvent(QShowEvent* Event) {
  QMainWindow::showEvent(Event);
  if (!Event->spontaneous()) FormShow();
}

void TPelmor::closeEvent(QCloseEvent* Event) {
  if (!FormCloseQuery()) {
    Event->ignore();
    return;
  }
  Event->accept();
  // Hiding the main window during a run must not end the program, so the
  // application quits here, when the user agreed to close it.
  QCoreApplication::quit();
}
