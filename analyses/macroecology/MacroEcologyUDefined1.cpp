#include "analyses/macroecology/MacroEcologyUDefined1.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>

#include "analyses/macroecology/MacroecologyOptions.h"
#include "core/PelmorStats.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"

TMacroEcologyUD1* MacroEcologyUD1 = nullptr;

TMacroParamDialog::TMacroParamDialog(const QString& Caption, const QStringList& Labels, const QString& OkName,
                                     QWidget* Parent)
    : QDialog(Parent), Labels_(Labels) {
  setWindowTitle(Caption);
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  for (int i = 0; i < 4; ++i) {
    auto* label = new QLabel(Labels.value(i), this);
    Edit[i] = new QLineEdit(this);
    label->setBuddy(Edit[i]);
    grid->addWidget(label, i, 0);
    grid->addWidget(Edit[i], i, 1);
  }
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout;
  OkButtonBase = new QPushButton(QStringLiteral("&OK"), this);
  OkButtonBase->setObjectName(OkName);
  ResetButton = new QPushButton(QStringLiteral("reset &Defaults"), this);
  ResetButton->setObjectName(QStringLiteral("ResetButton"));
  for (QPushButton* b : {OkButtonBase, ResetButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  connect(OkButtonBase, &QPushButton::clicked, this, [this] { OkClick(); });
  connect(ResetButton, &QPushButton::clicked, this, [this] { ResetButtonClick(); });
}

int TMacroParamDialog::ChosenXColumn() { return MacroecologyOpts ? MacroecologyOpts->FirstColumn() : 0; }
int TMacroParamDialog::ChosenYColumn() { return MacroecologyOpts ? MacroecologyOpts->SecondColumn() : 0; }

std::vector<double> TMacroParamDialog::ColumnValues(int Col) {
  std::vector<double> v;
  if (!Pelmor || Col < 1 || Col >= Pelmor->MainGrid->ColCount()) return v;
  const TStringGrid& g = *Pelmor->MainGrid;
  for (int r = 1; r < g.RowCount(); ++r) {
    double d = 0.0;
    if (TextToFloat(g.Cells(Col, r).toStdString(), d) && std::isfinite(d)) v.push_back(d);
  }
  return v;
}

void TMacroParamDialog::FormShow() {
  const QString file = Pelmor ? Pelmor->FileName : QString();
  bool refill = false;
  if (!ShownBefore || file != FilledFileName) {
    FilledFileName = file;
    refill = true;
  }
  if (ChosenXColumn() != FilledXColumn) {
    FilledXColumn = ChosenXColumn();
    refill = true;
  }
  if (ChosenYColumn() != FilledYColumn) {
    FilledYColumn = ChosenYColumn();
    refill = true;
  }
  ShownBefore = true;
  // Filling twice gives the same values: once is enough.
  if (refill) Init();
}

void TMacroParamDialog::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) FormShow();
}

bool TMacroParamDialog::Value(int I, double& V) const {
  double d = 0.0;
  if (I < 0 || I > 3 || !TextToFloat(Edit[I]->text().toStdString(), d) || !std::isfinite(d)) return false;
  V = d;
  return true;
}

QString TMacroParamDialog::NumberMessage(int I) const {
  QString name = Labels_.value(I);
  name.remove(QLatin1Char(':'));
  return name + QStringLiteral(" must be a number.");
}

void TMacroParamDialog::OkClick() {
  const QString message = TestMessage();
  if (!message.isEmpty()) {
    ShowMessage(message);
    return;
  }
  accept();
}

TMacroEcologyUD1::TMacroEcologyUD1(QWidget* Parent)
    : TMacroParamDialog(QStringLiteral("Pelmor -- User-defined end points"),
                        {QStringLiteral("Minimum X:"), QStringLiteral("Maximum X:"), QStringLiteral("Minimum Y:"),
                         QStringLiteral("Maximum Y:")},
                        QStringLiteral("OkButton"), Parent) {
  MacroEcologyUD1 = this;
  setObjectName(QStringLiteral("MacroEcologyUD1"));
  MinimumXEdit = Edit[0];
  MaximumXEdit = Edit[1];
  MinimumYEdit = Edit[2];
  MaximumYEdit = Edit[3];
  MinimumXEdit->setObjectName(QStringLiteral("MinimumXEdit"));
  MaximumXEdit->setObjectName(QStringLiteral("MaximumXEdit"));
  MinimumYEdit->setObjectName(QStringLiteral("MinimumYEdit"));
  MaximumYEdit->setObjectName(QStringLiteral("MaximumYEdit"));
  OkButton = OkButtonBase;
}

TMacroEcologyUD1::~TMacroEcologyUD1() {
  if (MacroEcologyUD1 == this) MacroEcologyUD1 = nullptr;
}

void TMacroEcologyUD1::Init() {
  const std::vector<double> x = ColumnValues(ChosenXColumn());
  const std::vector<double> y = ColumnValues(ChosenYColumn());
  const int32_t nx = static_cast<int32_t>(x.size()), ny = static_cast<int32_t>(y.size());
  auto F = [](double V) { return QString::fromStdString(FloatToStrF(V)); };
  MinimumXEdit->setText(F(LowestValue(nx, x)));
  MaximumXEdit->setText(F(HighestValue(nx, x)));
  MinimumYEdit->setText(F(LowestValue(ny, y)));
  MaximumYEdit->setText(F(HighestValue(ny, y)));
}

QString TMacroEcologyUD1::TestMessage() const {
  double v[4] = {0, 0, 0, 0};
  for (int i = 0; i < 4; ++i)
    if (!Value(i, v[i])) return NumberMessage(i);
  const double minX = v[0], maxX = v[1], minY = v[2], maxY = v[3];
  if (minX < 0) return QStringLiteral("Minimum X must be >= 0.");
  if (minY < 0) return QStringLiteral("Minimum Y must be >= 0.");
  if (maxX <= 0) return QStringLiteral("Maximum X must be > 0 ");
  if (maxY <= 0) return QStringLiteral("Maximum Y must be > 0 ");
  if (minX >= maxX) return QStringLiteral("Maximum X must be > Minimum X");
  if (minY >= maxY) return QStringLiteral("Maximum Y must be > Minimum Y");
  return {};
}

bool TMacroEcologyUD1::TestUserInput() {
  const QString message = TestMessage();
  if (!message.isEmpty()) ShowMessage(message);
  return message.isEmpty();
}
