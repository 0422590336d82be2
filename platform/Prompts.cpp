#include "platform/Prompts.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

QString TextFileFilter() { return QStringLiteral("Text files(*.txt)|*.txt|All files(*.*)|*.*"); }

QString ToolkitFileFilter(const QString& Filter) {
  const QStringList parts = Filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    // The shown name without the patterns it names in brackets, then the patterns in
    // the toolkit's form; "*.*" means every file, also those without an extension.
    QString name = parts[i];
    const qsizetype bracket = name.indexOf(QLatin1Char('('));
    if (bracket >= 0) name.truncate(bracket);
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : patterns)
      if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
    entries << name.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return entries.join(QStringLiteral(";;"));
}

void TQtPrompts::InformationBox(const QString& Text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), Text, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

TMsgResult TQtPrompts::MessageDlg(const QString& Text, TMsgType Type, TMsgButtons Buttons) {
  QMessageBox::Icon icon = QMessageBox::Information;
  QString title = QStringLiteral("Information");
  switch (Type) {
    case TMsgType::Confirmation: icon = QMessageBox::Question; title = QStringLiteral("Confirm"); break;
    case TMsgType::Error: icon = QMessageBox::Critical; title = QStringLiteral("Error"); break;
    case TMsgType::Warning: icon = QMessageBox::Warning; title = QStringLiteral("Warning"); break;
    case TMsgType::Information: break;
  }
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  if (Buttons == TMsgButtons::OKCancel) buttons = QMessageBox::Ok | QMessageBox::Cancel;
  if (Buttons == TMsgButtons::YesNo) buttons = QMessageBox::Yes | QMessageBox::No;
  if (Buttons == TMsgButtons::YesNoCancel) buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  QMessageBox box(icon, title, Text, buttons, QApplication::activeWindow());
  switch (box.exec()) {
    case QMessageBox::Cancel: return TMsgResult::Cancel;
    case QMessageBox::Yes: return TMsgResult::Yes;
    case QMessageBox::No: return TMsgResult::No;
    default: return TMsgResult::OK;
  }
}

namespace {
// Where a file dialog opens: the folder, with the offered file name when there is one.
QString StartPath(const QString& Directory, const QString& InitialName) {
  if (InitialName.isEmpty()) return Directory;
  return Directory.isEmpty() ? InitialName : Directory + "/" + InitialName;
}
}  // namespace

void FolderOfChosenFileBecomesCurrent(const QString& Path) {
  // The file dialogs the program was designed with leave the folder of the chosen file
  // as the current directory: simulated data sets, the batch list and the other files
  // the program writes then go beside the data the user opened or saved.
  const QFileInfo info(Path);
  if (info.absoluteDir().exists()) QDir::setCurrent(info.absolutePath());
}

std::optional<QString> TQtPrompts::OpenFileName(QWidget* Parent, const QString& Title, const QString& Directory,
                                                const QString& InitialName, const QString& Filter) {
  const QString name =
      QFileDialog::getOpenFileName(Parent, Title, StartPath(Directory, InitialName), ToolkitFileFilter(Filter));
  if (name.isEmpty()) return std::nullopt;
  FolderOfChosenFileBecomesCurrent(name);
  return name;
}

std::optional<QString> TQtPrompts::SaveFileName(QWidget* Parent, const QString& Title, const QString& Directory,
                                                const QString& InitialName, const QString& Filter) {
  const QString name =
      QFileDialog::getSaveFileName(Parent, Title, StartPath(Directory, InitialName), ToolkitFileFilter(Filter));
  if (name.isEmpty()) return std::nullopt;
  FolderOfChosenFileBecomesCurrent(name);
  return name;
}

void TQtPrompts::ShowModal(QWidget* Window) {
  if (!Window) return;
  if (auto* dialog = qobject_cast<QDialog*>(Window)) {
    dialog->exec();
    return;
  }
  // A plain window: show it application-modal and wait until it is hidden.
  QPointer<QWidget> w(Window);
  const Qt::WindowModality old = Window->windowModality();
  Window->setWindowModality(Qt::ApplicationModal);
  Window->show();
  QEventLoop loop;
  while (w && w->isVisible()) loop.processEvents(QEventLoop::WaitForMoreEvents);
  if (w) w->setWindowModality(old);
}

std::optional<QString> TScriptedPrompts::NextFileAnswer() {
  if (FileAnswers.empty()) return std::nullopt;
  const QString name = FileAnswers.front();
  FileAnswers.pop_front();
  if (name.isEmpty()) return std::nullopt;
  return name;
}

void TScriptedPrompts::InformationBox(const QString& Text) {
  Log.push_back({QStringLiteral("info"), Text});
  Messages << Text;
}

TMsgResult TScriptedPrompts::MessageDlg(const QString& Text, TMsgType, TMsgButtons Buttons) {
  Log.push_back({QStringLiteral("dialog"), Text});
  Messages << Text;
  if (!Answers.empty()) {
    const TMsgResult r = Answers.front();
    Answers.pop_front();
    return r;
  }
  return Buttons == TMsgButtons::YesNo || Buttons == TMsgButtons::YesNoCancel ? TMsgResult::Yes : TMsgResult::OK;
}

std::optional<QString> TScriptedPrompts::OpenFileName(QWidget*, const QString& Title, const QString& Directory,
                                                      const QString& InitialName, const QString& Filter) {
  Log.push_back({QStringLiteral("open"), Title, Directory, InitialName, Filter});
  return NextFileAnswer();
}

std::optional<QString> TScriptedPrompts::SaveFileName(QWidget*, const QString& Title, const QString& Directory,
                                                      const QString& InitialName, const QString& Filter) {
  Log.push_back({QStringLiteral("save"), Title, Directory, InitialName, Filter});
  return NextFileAnswer();
}

void TScriptedPrompts::ShowModal(QWidget* Window) {
  Log.push_back({QStringLiteral("modal"), Window ? Window->objectName() : QString()});
  // The window is shown (offscreen in tests, so its show handlers run as they do
  // for a person), the test plays the user's part, and the window is closed.
  if (Window) Window->show();
  if (OnModal) OnModal(Window);
  if (Window) Window->hide();
}

namespace {
TQtPrompts QtPrompts;
TPrompts* Current = &QtPrompts;
}  // namespace

TPrompts& Prompts() { return *Current; }
void SetPrompts(TPrompts* P) { Current = P ? P : &QtPrompts; }
void ShowMessage(const QString& Text) { Prompts().InformationBox(Text); }
void ShowModal(QWidget* Window) { Prompts().ShowModal(Window); }
