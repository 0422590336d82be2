#include "analyses/macroecology/MacroecologyOptions.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "analyses/macroecology/MacroEcologyUDefined1.h"
#include "analyses/macroecology/MacroEcologyUDefined2.h"
#include "platform/Prompts.h"
#include "platform/RadioGroup.h"

TMacroecologyOpts* MacroecologyOpts = nullptr;

namespace {
// A small drawing of a region of the data rectangle (corners of the polygon given on a
// 0..24 square, y downwards).
QIcon RegionIcon(std::initializer_list<QPointF> Corners) {
  QPixmap pm(28, 28);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::darkGray, 1));
  p.drawRect(QRectF(2, 2, 24, 24));
  QPolygonF poly;
  for (const QPointF& c : Corners) poly << c + QPointF(2, 2);
  p.setBrush(QColor(0x40, 0x70, 0xC0));
  p.setPen(QPen(Qt::black, 1));
  p.drawPolygon(poly);
  return QIcon(pm);
}

QWidget* GroupWithPictures(QWidget* Parent, TRadioGroup* Group, QToolButton* const* Buttons,
                           const std::vector<QIcon>& Icons) {
  auto* box = new QWidget(Parent);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(Group, 1);
  auto* column = new QVBoxLayout;
  column->setContentsMargins(0, 16, 0, 0);
  for (size_t i = 0; i < Icons.size(); ++i) {
    Buttons[i]->setIcon(Icons[i]);
    Buttons[i]->setIconSize(QSize(28, 28));
    Buttons[i]->setAutoRaise(true);
    Buttons[i]->setFocusPolicy(Qt::NoFocus);
    column->addWidget(Buttons[i]);
  }
  column->addStretch();
  row->addLayout(column);
  return box;
}
}  // namespace

TMacroecologyOpts::TMacroecologyOpts(QWidget* Parent)
    : TColumnChoiceOpts(QStringLiteral("Macroecology"), QStringLiteral("&X variable:"), QStringLiteral("&Y variable:"),
                        Parent) {
  MacroecologyOpts = this;
  setObjectName(QStringLiteral("MacroecologyOpts"));
  XvariableList = FirstList;
  YvariableList = SecondList;
  XvariableList->setObjectName(QStringLiteral("XvariableList"));
  YvariableList->setObjectName(QStringLiteral("YvariableList"));

  SymmetryGroup = new TRadioGroup(QStringLiteral("Da&ta distribution"),
                                  {QStringLiteral("symmetric"), QStringLiteral("asymmetric")}, PreferencesSheet);
  SymmetryGroup->setObjectName(QStringLiteral("SymmetryGroup"));
  ConstraintsGroup = new TRadioGroup(
      QStringLiteral("Co&nstraints"),
      {QStringLiteral("data-defined"), QStringLiteral("user-defined (uniform)"), QStringLiteral("user-defined (normal)")},
      PreferencesSheet);
  ConstraintsGroup->setObjectName(QStringLiteral("ConstraintsGroup"));
  EditButton = new QPushButton(QStringLiteral("&Edit"), PreferencesSheet);
  EditButton->setObjectName(QStringLiteral("EditButton"));
  EditButton->setAutoDefault(false);
  // The groups below keep their places when "&Edit" comes and goes.
  QSizePolicy keep = EditButton->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  EditButton->setSizePolicy(keep);
  EditButton->hide();
  PatternGroup = new TRadioGroup(QStringLiteral("&Shapes"),
                                 {QStringLiteral("left triangle"), QStringLiteral("right triangle"),
                                  QStringLiteral("pyramid"), QStringLiteral("inverted pyramid")},
                                 PreferencesSheet);
  PatternGroup->setObjectName(QStringLiteral("PatternGroup"));
  BoundaryGroup = new TRadioGroup(QStringLiteral("&Boundary test"),
                                  {QStringLiteral("upper right"), QStringLiteral("upper left"),
                                   QStringLiteral("lower right"), QStringLiteral("lower left")},
                                  PreferencesSheet);
  BoundaryGroup->setObjectName(QStringLiteral("BoundaryGroup"));
  for (int i = 0; i < 8; ++i) {
    SpeedButton[i] = new QToolButton(PreferencesSheet);
    SpeedButton[i]->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
  }
  const std::vector<QIcon> shapes{RegionIcon({{0, 0}, {24, 24}, {0, 24}}), RegionIcon({{0, 24}, {24, 0}, {24, 24}}),
                                  RegionIcon({{0, 24}, {12, 0}, {24, 24}}), RegionIcon({{0, 0}, {12, 24}, {24, 0}})};
  const std::vector<QIcon> corners{RegionIcon({{12, 0}, {24, 0}, {24, 12}}), RegionIcon({{0, 12}, {0, 0}, {12, 0}}),
                                   RegionIcon({{12, 24}, {24, 12}, {24, 24}}), RegionIcon({{0, 12}, {12, 24}, {0, 24}})};

  auto* grid = static_cast<QGridLayout*>(PreferencesSheet->layout());
  grid->setRowStretch(2, 0);
  auto* constraints = new QWidget(PreferencesSheet);
  auto* cl = new QVBoxLayout(constraints);
  cl->setContentsMargins(0, 0, 0, 0);
  cl->addWidget(ConstraintsGroup);
  cl->addWidget(EditButton, 0, Qt::AlignLeft);
  cl->addStretch();
  grid->addWidget(SymmetryGroup, 2, 0, Qt::AlignTop);
  grid->addWidget(constraints, 2, 1, 1, 2);
  grid->addWidget(GroupWithPictures(PreferencesSheet, PatternGroup, SpeedButton, shapes), 3, 0);
  grid->addWidget(GroupWithPictures(PreferencesSheet, BoundaryGroup, SpeedButton + 4, corners), 3, 1, 1, 2);
  grid->setRowStretch(4, 1);

  ConstraintsGroup->OnClick = [this] { ConstraintsGroupClick(); };
  connect(EditButton, &QPushButton::clicked, this, [this] { EditButtonClick(); });
  FormCreate();
  SymmetryGroup->SetItemIndex(0);
  ConstraintsGroup->SetItemIndex(0);
  PatternGroup->SetItemIndex(0);
  BoundaryGroup->SetItemIndex(0);
  resize(560, 460);
}

TMacroecologyOpts::~TMacroecologyOpts() {
  if (MacroecologyOpts == this) MacroecologyOpts = nullptr;
}

void TMacroecologyOpts::FormCreate() {
  TColumnChoiceOpts::FormCreate();
  ShapeItem = DistributionItem = ConstraintsItem = BoundaryItem = 0;
}

bool TMacroecologyOpts::FormShow() {
  if (!TColumnChoiceOpts::FormShow()) return false;
  PatternGroup->SetItemIndex(ShapeItem);
  BoundaryGroup->SetItemIndex(BoundaryItem);
  SymmetryGroup->SetItemIndex(DistributionItem);
  ConstraintsGroup->SetItemIndex(ConstraintsItem);
  EditButton->setVisible(ConstraintsGroup->ItemIndex() > 0);
  return true;
}

void TMacroecologyOpts::FormClose() {
  TColumnChoiceOpts::FormClose();
  ShapeItem = PatternGroup->ItemIndex();
  DistributionItem = SymmetryGroup->ItemIndex();
  ConstraintsItem = ConstraintsGroup->ItemIndex();
  BoundaryItem = BoundaryGroup->ItemIndex();
}

void TMacroecologyOpts::ConstraintsGroupClick() {
  // Items chosen in code (restored or reset) open no dialog.
  if (!ConstraintsGroup->ClickedByUser()) {
    EditButton->setVisible(ConstraintsGroup->ItemIndex() > 0);
    return;
  }
  EditButtonClick();
}

void TMacroecologyOpts::EditButtonClick() {
  switch (ConstraintsGroup->ItemIndex()) {
    case 1:
      if (MacroEcologyUD1) ShowModal(MacroEcologyUD1);
      EditButton->setVisible(true);
      break;
    case 2:
      if (MacroEcologyUD2) ShowModal(MacroEcologyUD2);
      EditButton->setVisible(true);
      break;
    default:
      EditButton->setVisible(false);
      break;
  }
}

void TMacroecologyOpts::ResetDefaults() {
  TColumnChoiceOpts::ResetDefaults();
  SymmetryGroup->SetItemIndex(0);
  ConstraintsGroup->SetItemIndex(0);
  PatternGroup->SetItemIndex(0);
  BoundaryGroup->SetItemIndex(0);
  EditButton->setVisible(false);
  RunButton->setFocus();
}
