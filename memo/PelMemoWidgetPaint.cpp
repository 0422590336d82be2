// Painting of the memo's window: runs of text with the measurer's advances, the
// zig-zag underline, one display line at a time into an off-screen line image,
// then the end-of-text mark, the right line and the caret.
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "memo/PelMemoWidget.h"
#include "platform/Latin1Qt.h"

namespace {

// Characters worth drawing (blanks and codes take room but show nothing).
bool Drawable(unsigned char C) { return C > ' ' && C != 127; }

}  // namespace

// ---- drawing a run of text -------------------------------------------------------------

void DrawTextRun(QPainter& Painter, TQtMeasurer& Meas, int64_t& X, int32_t Y, const char* Text, int32_t Count,
                 int32_t VisibleSpaceWidth, bool ShowSpaces, int32_t RightClip) {
  int32_t i = 0;
  // Far left of the window nothing is drawn; the pen still advances.
  while (i < Count && X <= -16384) X += Meas.Advance(static_cast<unsigned char>(Text[i++]));
  const bool raw = Meas.RawFont().isValid();
  const int64_t firstX = X;
  QList<quint32> glyphs;
  QList<QPointF> points;
  for (; i < Count && X < RightClip; ++i) {
    const unsigned char c = static_cast<unsigned char>(Text[i]);
    if (ShowSpaces && c == ' ') {
      if (raw) {
        glyphs.append(Meas.Glyph(0xB7));
        points.append(QPointF(static_cast<double>(X), Y));
      }
      X += VisibleSpaceWidth;
      continue;
    }
    const int32_t w = Meas.Advance(c);
    if (IsControlMark(c) && X + w >= 0) {
      // The replacement mark: a hollow box in the character's cell.
      const QFontMetrics fm(Meas.Font());
      const int32_t h = std::max(3, fm.ascent() * 2 / 3);
      Painter.save();
      Painter.setBrush(Qt::NoBrush);
      Painter.drawRect(QRect(static_cast<int>(X) + 1, Y - h, std::max(1, w - 3), h - 1));
      Painter.restore();
    } else if (Drawable(c) && X + w >= 0) {
      if (raw) {
        glyphs.append(Meas.Glyph(c));
        points.append(QPointF(static_cast<double>(X), Y));
      } else {
        QFont f = Meas.Font();
        f.setUnderline(false);  // drawn below for the whole run
        Painter.setFont(f);
        Painter.drawText(QPointF(static_cast<double>(X), Y), QString(QChar(Latin1ToChar(c))));
      }
    }
    X += w;
  }
  if (Meas.Font().underline() && X > firstX) {
    // The underline of the run itself, from its first to its last pixel drawn.
    const QFontMetrics fm(Meas.Font());
    const int32_t uy = Y + std::max(1, fm.underlinePos());
    Painter.fillRect(QRect(static_cast<int>(std::max<int64_t>(firstX, -1)), uy,
                           static_cast<int>(std::min<int64_t>(X, RightClip) - std::max<int64_t>(firstX, -1)),
                           std::max(1, fm.lineWidth())),
                     Painter.pen().color());
  }
  if (glyphs.isEmpty()) return;
  QGlyphRun run;
  run.setRawFont(Meas.RawFont());
  run.setGlyphIndexes(glyphs);
  run.setPositions(points);
  Painter.drawGlyphRun(QPointF(0, 0), run);
}

void DrawZigzagLine(QPainter& Painter, int32_t X1, int32_t X2, int32_t Step, int32_t Y) {
  const std::vector<TZigzagPoint> pts = ZigzagPoints(X1, X2, Step, Y);
  for (size_t k = 1; k < pts.size(); ++k) Painter.drawLine(pts[k - 1].X, pts[k - 1].Y, pts[k].X, pts[k].Y);
}

// ---- painting -------------------------------------------------------------------------

bool TPelMemo::SelectionVisible() const { return SelLength != 0 && (hasFocus() || !HideSelection); }

void TPelMemo::PaintLine(QImage& Img, int32_t Line) {
  QPainter p(&Img);
  TPelNavigator nav(Paragraphs);
  nav.Memo = this;
  nav.SetLineIndex(Line);
  const int32_t parIndex = nav.GetParIndex();
  const TParagraph& par = Paragraphs.Par(parIndex);
  TLinesList ll;
  ll.Par = const_cast<TParagraph*>(&par);
  const int32_t li = nav.GetParLineIndex();
  const LineInfo l = *ll.GetLine(li);
  const int32_t parLen = GetParLength(par);
  const bool lastLine = li == ll.Count() - 1;
  const char* t = GetParChars(par);
  const int32_t cw = Img.width();
  const int32_t back = GetParBackColor(par);
  Img.fill(back >= 0 && back != NoColor ? QColor::fromRgb(static_cast<QRgb>(back)) : BackColor);
  if (!BackgroundBmp.isNull()) p.drawTiledPixmap(QRect(0, 0, cw, LineHeight), BackgroundBmp, QPoint(0, Line * LineHeight - VertOffset));

  // Line start and widened blanks as the navigator measures them; offsets' x
  // positions through the advance tables.
  TLineSpread spread = LineSpread(par, l);
  const int64_t x0 = static_cast<int64_t>(spread.Start) - HorzOffset;
  const bool codes = GetStaticFormat();
  const int32_t avg = std::max(1, AvgCharWidth);
  const int32_t textColor = GetParTextColor(par);
  const QColor ink = textColor >= 0 && textColor != NoColor ? QColor::fromRgb(static_cast<QRgb>(textColor))
                                                            : palette().color(QPalette::Text);
  auto keyColor = [](int32_t C, QColor& Out) {
    if (C < 0 || C == NoColor) return false;
    Out = QColor::fromRgb(static_cast<QRgb>(C));
    return true;
  };
  const bool showSpaces = ShowNonPrintChars & pmNPSpace;

  // The highlighting record in effect (parser styles and styles given from outside).
  const int32_t attrCount = GetAttrCount(par);
  int32_t attr = 0;
  while (attr < attrCount && par.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= l.Start) ++attr;
  auto currentAttr = [&]() -> const TStyleRecord* {
    const TStyleRecord* r = attr > 0 ? &par.Extra->Attributes[static_cast<size_t>(attr - 1)] : GetParStartStyle(par);
    return (r->Flags & 0x80) ? r : nullptr;
  };
  uint8_t style = l.Style;
  const TStyleRecord* attrStyle = currentAttr();
  Meas.SelectFont(style, attrStyle);
  TRunMeter meter(Meas, ExtentChunk);
  int64_t x = 0;
  int64_t selA = -1, selB = -1;  // selected pixels of this line
  const int32_t a = SelStartNav->Pos - par.StartPos, b = SelEndNav->Pos - par.StartPos;
  const bool showSel = SelectionVisible() && !BlockActive;
  const bool winSel = showSel && HasOption(pmoWindowsSelColors);
  // Runs are drawn whole; tabs, codes, attribute and (with system selection
  // colours) selection boundaries, and blanks when justifying end a run.
  int32_t runStart = l.Start;
  int64_t runX = 0;
  // Trailing blanks of a wrapped line are not drawn (unless blanks are shown): no
  // underline and no background of a run reaches under them; only a selection does.
  int32_t trail = l.Stop;
  if (!lastLine && !showSpaces)
    while (trail > l.Start && (t[trail - 1] == ' ' || t[trail - 1] == '\t' ||
                               (codes && IsStyleCode(static_cast<unsigned char>(t[trail - 1])))))
      --trail;
  auto flush = [&](int32_t Upto) {
    if (Upto <= runStart) return;
    if (runStart >= trail) {
      if (winSel && runStart >= a && runStart < b)
        p.fillRect(QRectF(static_cast<double>(x0 + runX), 0, static_cast<double>(x - runX), LineHeight), SelBackColor);
      return;
    }
    QColor fore = ink, bg;
    bool fill = false;
    if (style & StyleHighlight) {
      fore = HighlightColor;
      bg = HighlightBackgnd;
      fill = HighlightBackgnd != BackColor;
    }
    if (attrStyle) {
      keyColor(attrStyle->Color1, fore);
      if (keyColor(attrStyle->Color2, bg)) fill = true;
    }
    if (winSel && runStart >= a && runStart < b) {
      fore = SelTextColor;
      bg = SelBackColor;
      fill = true;
    }
    int64_t pen = x0 + runX;
    if (fill) p.fillRect(QRectF(static_cast<double>(pen), 0, static_cast<double>(x - runX), LineHeight), bg);
    p.setPen(fore);
    DrawTextRun(p, Meas, pen, BaselineY, t + runStart, Upto - runStart, Meas.Advance(' '), showSpaces, cw);
    if (attrStyle && (attrStyle->Flags & SpecUnderlineFlag) && SpecUnderline.style() != Qt::NoPen) {
      const int32_t thick = (std::max(1, SpecUnderline.width()) * 3) / 2 + 1;
      const int32_t uy = std::min(BaselineY + 1, LineHeight - thick - 1);
      p.setPen(SpecUnderline);
      DrawZigzagLine(p, static_cast<int32_t>(std::clamp<int64_t>(x0 + runX, INT32_MIN / 2, INT32_MAX / 2)),
                     static_cast<int32_t>(std::clamp<int64_t>(x0 + x, INT32_MIN / 2, INT32_MAX / 2)), thick, uy);
    }
  };
  for (int32_t o = l.Start; o <= l.Stop; ++o) {
    // A selection that starts at a wrapped line's stop starts on the next line.
    if (showSel && o == std::max(a, l.Start) && (a < l.Stop || (lastLine && a == l.Stop)) && b > l.Start) selA = x;
    if (showSel && o == std::min(b, l.Stop) && selA >= 0 && selB < 0) selB = x;
    if (o == l.Stop) break;
    if (x0 + x > cw) break;
    if (attr < attrCount && par.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= o) {
      flush(o);
      while (attr < attrCount && par.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= o) ++attr;
      attrStyle = currentAttr();
      Meas.SelectFont(style, attrStyle);
      runStart = o;
      runX = x;
    }
    if (((winSel && (o == a || o == b)) || o == trail) && o > runStart) {
      flush(o);
      runStart = o;
      runX = x;
    }
    const unsigned char c = static_cast<unsigned char>(t[o]);
    if (codes && IsStyleCode(c)) {
      flush(o);
      ToggleStyleByCode(style, c);
      Meas.SelectFont(style, attrStyle);
      runStart = o + 1;
      runX = x;
      continue;
    }
    if (c == '\t') {
      flush(o);
      const int64_t from = x;
      if (TabStops > 0) x = (x / (static_cast<int64_t>(TabStops) * avg) + 1) * TabStops * avg;
      if (TabStops < 0) x = (x / -TabStops + 1) * -TabStops;
      if (winSel && o >= a && o < b) p.fillRect(QRectF(static_cast<double>(x0 + from), 0, static_cast<double>(x - from), LineHeight), SelBackColor);
      if ((ShowNonPrintChars & pmNPTab) && x - from >= Meas.Advance(0xBB)) {
        int64_t pen = x0 + from;
        p.setPen(winSel && o >= a && o < b ? SelTextColor : ink);
        DrawTextRun(p, Meas, pen, BaselineY, "\xBB", 1, 0, false, cw);
      }
      runStart = o + 1;
      runX = x;
      continue;
    }
    x += meter.Width(style, attrStyle, t + o, 1);
    if (const int32_t extra = spread.Extra(static_cast<char>(c), o)) {
      // The blank's added room belongs to it: its run (and selection fill) covers it.
      x += extra;
      flush(o + 1);
      runStart = o + 1;
      runX = x;
    }
  }
  flush(l.Stop);
  // The paragraph end mark.
  if ((ShowNonPrintChars & pmNPReturn) && lastLine && x0 + x < cw) {
    Meas.SelectFont(0, nullptr);
    int64_t pen = x0 + x;
    p.setPen(ink);
    DrawTextRun(p, Meas, pen, BaselineY, "\xB6", 1, 0, false, cw);
  }
  // A selection that goes on past the paragraph's end shows a small box there.
  if (showSel && selA >= 0) {
    if (selB < 0) selB = x;
    int64_t right = selB;
    if (lastLine && b > parLen && a <= parLen && ShowEndParSelected && !(ShowNonPrintChars & pmNPReturn))
      right = std::max(right, x + avg / 2 + 1);
    if (HasOption(pmoFullLineSelect) && b > l.Stop + (lastLine ? 0 : -1) && (lastLine ? b > parLen : true))
      right = cw - x0;
    if (winSel) {
      // The text was drawn in the selection colours; only the room after it is filled.
      const int64_t left = std::max<int64_t>(std::max(selB, x) + x0, 0), r = std::min<int64_t>(right + x0, cw);
      if (r > left) p.fillRect(QRect(static_cast<int>(left), 0, static_cast<int>(r - left), LineHeight), SelBackColor);
    } else {
      const int64_t left = std::max<int64_t>(selA + x0, 0), r = std::min<int64_t>(right + x0, cw);
      if (r > left) {
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.fillRect(QRect(static_cast<int>(left), 0, static_cast<int>(r - left), LineHeight), Qt::black);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
      }
    }
  }
  // A column block: the same columns on every line of the block.
  if (BlockActive && SelectionVisible() && parIndex >= SelStartNav->GetParIndex() && parIndex <= SelEndNav->GetParIndex()) {
    const int32_t c1 = std::min(BlockStartColumn, BlockStopColumn), c2 = std::max(BlockStartColumn, BlockStopColumn);
    const int32_t left = std::max(0, LeftMargin - HorzOffset + c1 * avg), right = std::min(cw, LeftMargin - HorzOffset + c2 * avg);
    if (right > left) {
      p.setCompositionMode(QPainter::RasterOp_NotDestination);
      p.fillRect(QRect(left, 0, right - left, LineHeight), Qt::black);
    }
  }
}

void TPelMemo::paintEvent(QPaintEvent* E) {
  QPainter painter(viewport());
  const int32_t w = viewport()->width(), h = viewport()->height();
  if (UpdateCount > 0 || LineHeight < 1) return;
  const QRect area = E->rect();
  const int32_t firstLine = std::max(0, (VertOffset + area.top()) / LineHeight);
  const int32_t lastLine = std::max(0, (VertOffset + area.bottom()) / LineHeight);
  EnsureLinesFormatted(firstLine, lastLine);
  const int32_t total = GetDisplayLineCount();
  QImage line(std::max(1, w), LineHeight, QImage::Format_RGB32);
  int32_t y = firstLine * LineHeight - VertOffset;
  auto fillBack = [&](const QRect& R) {
    painter.fillRect(R, BackColor);
    if (!BackgroundBmp.isNull()) painter.drawTiledPixmap(R, BackgroundBmp, QPoint(R.left(), R.top()));
  };
  if (y > area.top()) fillBack(QRect(0, area.top(), w, y - area.top()));
  for (int32_t i = firstLine; i <= lastLine && i < total; ++i) {
    PaintLine(line, i);
    painter.drawImage(0, y, line);
    y += LineHeight;
  }
  if (y <= area.bottom()) fillBack(QRect(0, y, w, h - y));
  // The end of the text: a line under the last display line.
  const int32_t end = total * LineHeight - VertOffset;
  if (EndOfTextMark.style() != Qt::NoPen && end >= 0 && end < h) {
    painter.setPen(EndOfTextMark);
    const int32_t py = end + std::max(1, EndOfTextMark.width()) / 2;
    painter.drawLine(0, py, w, py);
  }
  if (RightLinePos != 0) {
    const int32_t x = LeftMargin - HorzOffset + (RightLinePos > 0 ? RightLinePos * AvgCharWidth : -RightLinePos);
    painter.setPen(RightLinePen);
    painter.drawLine(x, 0, x, h);
  }
  if (hasFocus() && CaretOn && !DisplayOnly) {
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(ShownCaretRect(), Qt::black);
  }
}

