// Services of the main window that every analysis calls: the help page, the About
// box and the writers of simulated data sets.
#include <QAction>
#include <QByteArray>
#include <QDir>
#include <charconv>
#include <cmath>
#include <string>

#include "core/PelmorText.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/AboutPelmor.h"
#include "shell/DataFiles.h"
#include "shell/HelpWindow.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

namespace {
const QString HelpPage = QStringLiteral("MainFrame.htm");
const QString WriteError = QStringLiteral("Error writing file.");
const QString SaveError = QStringLiteral("Error saving simulation...Aborting.");

QString SimFileName(int32_t I, int32_t J) {
  QString name = QStringLiteral("Sim") + QString::number(I);
  if (J != 0) name += QStringLiteral("_") + QString::number(J);
  return name + QStringLiteral(".txt");
}

void AppendInt(std::string& Out, int64_t V) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, V);
  Out.append(buf, r.ptr);
}

void TrimTrailingBlanks(std::string& S, size_t From = 0) {
  size_t end = S.size();
  while (end > From && S[end - 1] == ' ') --end;
  S.resize(end);
}

// A title as the data writer writes it: a blank, comma or line break inside becomes
// "_", so that a simulated file reads back with the shape of the matrix.
std::string TitleText(const QString& Title) { return CellForFile(Title).toStdString(); }

// The title line of the matrix files: row 0 of the grid, one blank between titles
// (an empty last title keeps its column, as in a data file).
std::string TitleLine(const TStringGrid& G) {
  std::string line;
  for (int c = 0; c < G.ColCount(); ++c) {
    if (c > 0) line += ' ';
    line += TitleText(G.Cells(c, 0));
  }
  line += "\r\n";
  return line;
}

// Whether every grid cell (c, k), c and k from 1, has its value in M at
// [c - Offset][k - Offset].
template <typename T>
bool Covers(const std::vector<std::vector<T>>& M, const TStringGrid& G, int Offset) {
  const int cols = G.ColCount() - Offset, rows = G.RowCount() - Offset;
  if (cols <= 0 || rows <= 0) return true;
  if (static_cast<int>(M.size()) < cols) return false;
  for (int c = 1 - Offset; c < cols; ++c)
    if (c >= 0 && static_cast<int>(M[static_cast<size_t>(c)].size()) < rows) return false;
  return true;
}

// Assembles a matrix file under MainGrid's titles; Value(c, k, Out) appends the text of
// grid cell (c, k).
template <typename F>
QByteArray MatrixText(const TStringGrid& G, F Value) {
  std::string text = TitleLine(G);
  for (int k = 1; k < G.RowCount(); ++k) {
    text += TitleText(G.Cells(0, k));
    text += ' ';
    const size_t valuesStart = text.size();
    for (int c = 1; c < G.ColCount(); ++c) {
      Value(c, k, text);
      text += ' ';
    }
    TrimTrailingBlanks(text, valuesStart);
    text += "\r\n";
  }
  return QByteArray::fromStdString(text);
}

}  // namespace

void TPelmor::ConnectServiceMenus() {
  connect(HelpTopics1, &QAction::triggered, this, [this] { RunHelp(); });
  connect(About1, &QAction::triggered, this, [this] { About1Click(); });
}

QString TPelmor::FindHelpPage() const {
  // The start directory first (the current directory while help runs), then the
  // program's own folder, so that help is found wherever the program was started.
  for (const QString& dir : {CurrentDir(), ProgramDir}) {
    if (dir.isEmpty()) continue;
    const QString path = QDir(dir).absoluteFilePath(HelpPage);
    if (FileExists(path)) return path;
  }
  return {};
}

void TPelmor::RunHelp() {
  WorkDir = CurrentDir();
  if (!SetCurrentDir(HomeDir)) {
    ShowMessage(QStringLiteral("Unable to load Help. Directory error."));
    return;
  }
  const QString page = FindHelpPage();
  if (page.isEmpty())
    Prompts().MessageDlg(QStringLiteral("Could not execute ") + HelpPage, TMsgType::Error, TMsgButtons::OK);
  else if (!OpenDocument(page))
    ShowHelpWindow(page, this);  // no program on the desktop opens it: our own window does
  if (!SetCurrentDir(WorkDir)) ShowMessage(QStringLiteral("Unable to reset Home directory. Directory error."));
}

void TPelmor::About1Click() {
  if (PelmorAbout) ShowModal(PelmorAbout);
}

namespace {
// A failure stops the run: the progress window is closed before the message, so that
// the message is not left behind it.
bool Fail(TRunState& State, const QString& Message) {
  CloseProgressWindow();
  ShowMessage(Message);
  // A batch stops with the file whose data sets could not be written, and says so.
  if (State.BatchMode && State.RunEnabled) ShowMessage(QStringLiteral("Batch processing error."));
  State.AbortRequested = true;
  return false;
}

// Writes a whole simulated file; on failure one message and the run is stopped.
bool WriteSimFile(TRunState& State, const QString& Name, const QByteArray& Bytes) {
  if (WriteFileSafely(Name, Bytes)) return true;
  return Fail(State, WriteError);
}

// A data set that does not fit the grid (or the count asked for) is not written.
bool Refuse(TRunState& State) { return Fail(State, SaveError); }
}  // namespace

bool TPelmor::SaveSimulation(int32_t I, int32_t J, const TStringGrid& Grid) {
  if (AbortRequested) return false;
  // Written as the data writer writes a grid.
  return WriteSimFile(*this, SimFileName(I, J), MatrixFileBytes(*Grid.Model()));
}

bool TPelmor::SaveSimulation_2(int32_t I, int32_t J, const std::vector<std::vector<int32_t>>& M) {
  if (AbortRequested) return false;
  if (!Covers(M, *MainGrid, 0)) return Refuse(*this);
  const QByteArray text = MatrixText(*MainGrid, [&](int c, int k, std::string& Out) {
    AppendInt(Out, M[static_cast<size_t>(c)][static_cast<size_t>(k)]);
  });
  return WriteSimFile(*this, SimFileName(I, J), text);
}

bool TPelmor::SaveSimulation_4(int32_t I, int32_t J, const std::vector<std::vector<int32_t>>& M) {
  if (AbortRequested) return false;
  if (!Covers(M, *MainGrid, 1)) return Refuse(*this);
  const QByteArray text = MatrixText(*MainGrid, [&](int c, int k, std::string& Out) {
    AppendInt(Out, M[static_cast<size_t>(c - 1)][static_cast<size_t>(k - 1)]);
  });
  return WriteSimFile(*this, SimFileName(I, J), text);
}

bool TPelmor::SaveSimulation_3(int32_t I, int32_t J, const std::vector<std::vector<double>>& M) {
  if (AbortRequested) return false;
  if (!Covers(M, *MainGrid, 0)) return Refuse(*this);
  const QByteArray text = MatrixText(*MainGrid, [&](int c, int k, std::string& Out) {
    Out += FloatToStrG(M[static_cast<size_t>(c)][static_cast<size_t>(k)]);
  });
  return WriteSimFile(*this, SimFileName(I, J), text);
}

bool TPelmor::SaveNumberLineToFile(int32_t I, int32_t N, const std::vector<double>& X) {
  if (AbortRequested) return false;
  if (N < 0 || static_cast<size_t>(N) > X.size()) return Refuse(*this);
  std::string text = "species size\r\n";
  for (int32_t k = 1; k <= N; ++k) {
    text += "species";
    AppendInt(text, k);
    text += ' ';
    text += FloatToStrF(X[static_cast<size_t>(k - 1)]);
    text += "\r\n";
  }
  return WriteSimFile(*this, SimFileName(I, 0), QByteArray::fromStdString(text));
}

namespace {
// The two-column files: a header, then "species" + k, the first and the second value.
template <typename A, typename B>
QByteArray TwoColumnText(int32_t N, const QString& Name1, const QString& Name2, A First, B Second) {
  std::string text = "species " + TitleText(Name1) + " " + TitleText(Name2) + "\r\n";
  for (int32_t k = 1; k <= N; ++k) {
    text += "species";
    AppendInt(text, k);
    text += ' ';
    First(static_cast<size_t>(k - 1), text);
    text += ' ';
    Second(static_cast<size_t>(k - 1), text);
    text += "\r\n";
  }
  return QByteArray::fromStdString(text);
}

bool Fits(int32_t N, size_t A, size_t B) { return N >= 0 && static_cast<size_t>(N) <= A && static_cast<size_t>(N) <= B; }
}  // namespace

bool TPelmor::SaveTwoColumnsToFile(int32_t I, int32_t N, const std::vector<double>& X, const std::vector<double>& Y,
                                   const QString& Name1, const QString& Name2) {
  if (AbortRequested) return false;
  if (!Fits(N, X.size(), Y.size())) return Refuse(*this);
  const QByteArray text = TwoColumnText(
      N, Name1, Name2, [&](size_t i, std::string& Out) { Out += FloatToStrF(X[i]); },
      [&](size_t i, std::string& Out) { Out += FloatToStrF(Y[i]); });
  return WriteSimFile(*this, SimFileName(I, 0), text);
}

bool TPelmor::SaveTwoColumnsToFile_Real_Integer(int32_t I, int32_t N, const std::vector<double>& X,
                                                const std::vector<int32_t>& Y, const QString& Name1,
                                                const QString& Name2) {
  if (AbortRequested) return false;
  if (!Fits(N, X.size(), Y.size())) return Refuse(*this);
  const QByteArray text = TwoColumnText(
      N, Name1, Name2, [&](size_t i, std::string& Out) { Out += FloatToStrF(X[i]); },
      [&](size_t i, std::string& Out) { AppendInt(Out, Y[i]); });
  return WriteSimFile(*this, SimFileName(I, 0), text);
}

bool TPelmor::SaveTwoColumnsToFile_Labels(int32_t I, int32_t N, const std::vector<QString>& Labels,
                                          const std::vector<double>& Y, const QString& Name1,
                                          const QString& Name2) {
  if (AbortRequested) return false;
  if (!Fits(N, Labels.size(), Y.size())) return Refuse(*this);
  const QByteArray text = TwoColumnText(
      N, Name1, Name2, [&](size_t i, std::string& Out) { Out += TitleText(Labels[i]); },
      [&](size_t i, std::string& Out) { Out += FloatToStrF(Y[i]); });
  return WriteSimFile(*this, SimFileName(I, 0), text);
}

bool TPelmor::SaveTwoColumnsToFile_Labels(int32_t I, int32_t N, const std::vector<std::string>& Labels,
                                          const std::vector<double>& Y, const QString& Name1,
                                          const QString& Name2) {
  std::vector<QString> labels;
  labels.reserve(Labels.size());
  for (const auto& l : Labels) labels.push_back(QString::fromStdString(l));
  return SaveTwoColumnsToFile_Labels(I, N, labels, Y, Name1, Name2);
}
