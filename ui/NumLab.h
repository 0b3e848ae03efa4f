#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "control/ValueDisplay.h"
#include "ui/FixedPointText.h"

// A read-only framed box showing one number in fixed-point notation; it is also the store of
// that number, read back exactly as it was set. Takes no keyboard focus.
class TNumLab : public QWidget, public orvane::ValueDisplay {
  Q_OBJECT
  Q_PROPERTY(double value READ Value WRITE SetLabValue)
  Q_PROPERTY(int precision READ Precision WRITE SetPrecision)
  Q_PROPERTY(int labelWidth READ LabelWidth WRITE SetLabelWidth)
  Q_PROPERTY(int leftSpace READ LeftSpace WRITE SetLeftSpace)
  Q_PROPERTY(bool comma READ Comma WRITE SetComma)
  Q_PROPERTY(bool forcePlusSign READ ForcePlusSign WRITE SetForcePlusSign)
  Q_PROPERTY(QColor colorLabBakG READ ColorLabBakG WRITE SetColorLabBakG)
  Q_PROPERTY(QColor colorLabText READ ColorLabText WRITE SetColorLabText)
  Q_PROPERTY(QColor colorOutBakG READ ColorOutBakG WRITE SetColorOutBakG)
  Q_PROPERTY(QColor colorOutText READ ColorOutText WRITE SetColorOutText)
  Q_PROPERTY(QString overflowIndicator READ OverflowIndicator WRITE SetOverflowIndicator)
  Q_PROPERTY(bool empty READ Empty WRITE SetEmpty)
  Q_PROPERTY(Qt::Alignment alignment READ Alignment WRITE SetAlignment)
  Q_PROPERTY(QString leftText READ LeftText WRITE SetLeftText)
  Q_PROPERTY(QString rightText READ RightText WRITE SetRightText)

 public:
  explicit TNumLab(QWidget* parent = nullptr);

  double Value() const override { return value_; }
  // Stores the value unchanged and repaints at once; an equal value or a NaN changes nothing.
  void SetLabValue(double value) override;

  int Precision() const { return format_.precision; }
  void SetPrecision(int precision);  // negative ignored, above 15 stored as 15
  int LabelWidth() const { return labelWidth_; }
  void SetLabelWidth(int width);
  int LeftSpace() const { return leftSpace_; }
  void SetLeftSpace(int space);  // negative ignored, wider than the control stored as its width
  bool Comma() const { return format_.comma; }
  void SetComma(bool comma);
  bool ForcePlusSign() const { return format_.forcePlusSign; }
  void SetForcePlusSign(bool force);

  QColor ColorLabBakG() const { return colorLabBakG_; }
  void SetColorLabBakG(const QColor& colour);
  QColor ColorLabText() const { return colorLabText_; }
  void SetColorLabText(const QColor& colour);
  QColor ColorOutBakG() const { return colorOutBakG_; }
  void SetColorOutBakG(const QColor& colour);
  QColor ColorOutText() const { return colorOutText_; }
  void SetColorOutText(const QColor& colour);

  QString OverflowIndicator() const { return overflowIndicator_; }
  void SetOverflowIndicator(const QString& indicator);
  bool Empty() const { return empty_; }
  void SetEmpty(bool empty);
  // Only the horizontal part counts: left, right or centred (the default) in the box.
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment alignment);
  QString LeftText() const { return leftText_; }
  void SetLeftText(const QString& text);
  QString RightText() const { return rightText_; }
  void SetRightText(const QString& text);

  // What the box shows: the value's text, the overflow indicator when that text is wider than
  // LabelWidth - 6 pixels in the label's font, or nothing when Empty.
  QString ShownText() const;
  // The colour the value is drawn in: grey while disabled.
  QColor ValueTextColour() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  template <typename T>
  void Assign(T& field, const T& value);
  void Paint(QPainter& painter) const;

  double value_ = 0.0;
  orvane::FixedPointFormat format_;
  int labelWidth_ = 80;
  int leftSpace_ = 35;
  QColor colorLabBakG_;
  QColor colorLabText_ = Qt::black;
  QColor colorOutBakG_;
  QColor colorOutText_ = Qt::black;
  QString overflowIndicator_ = QStringLiteral("*********");
  bool empty_ = false;
  Qt::Alignment alignment_ = Qt::AlignHCenter;
  QString leftText_;
  QString rightText_;
};
