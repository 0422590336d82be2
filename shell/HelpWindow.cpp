#include "shell/HelpWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpWindow* HelpWindow = nullptr;

THelpWindow::THelpWindow(QWidget* Parent) : QDialog(Parent) {
  if (!HelpWindow) HelpWindow = this;
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Pelmor -- Help"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setModal(false);

  Browser = new QTextBrowser(this);
  Browser->setObjectName(QStringLiteral("Browser"));
  Browser->setAccessibleName(QStringLiteral("Help page"));
  Browser->setOpenLinks(true);
  Browser->setOpenExternalLinks(true);
  CloseButton = new QPushButton(QStringLiteral("&Close"), this);
  CloseButton->setObjectName(QStringLiteral("CloseButton"));
  CloseButton->setAutoDefault(false);
  connect(CloseButton, &QPushButton::clicked, this, [this] { close(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Browser, 1);
  layout->addLayout(buttons);
  resize(760, 620);
}

THelpWindow::~THelpWindow() {
  if (HelpWindow == this) HelpWindow = nullptr;
}

void THelpWindow::ShowPage(const QString& Path) {
  Browser->setSource(QUrl::fromLocalFile(Path));
  // A window opened beside a modal dialog would take no input; the modality can only
  // change while the window is hidden.
  const Qt::WindowModality modality = QApplication::activeModalWidget() && QApplication::activeModalWidget() != this
                                          ? Qt::ApplicationModal
                                          : Qt::NonModal;
  if (windowModality() != modality) {
    hide();
    setWindowModality(modality);
  }
  if (!isVisible()) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
  }
  show();
  raise();
  activateWindow();
}

void ShowHelpWindow(const QString& Path, QWidget* Owner) {
  if (!HelpWindow) new THelpWindow(Owner);
  HelpWindow->ShowPage(Path);
}
