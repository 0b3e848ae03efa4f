#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "control/Colour.h"

// A filled rectangle or circle with a one-pixel outline: the cage, the perch and the puffer.
class TShape : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString shapeKind READ ShapeKind WRITE SetShapeKind)
  Q_PROPERTY(QColor brushColor READ BrushColor WRITE SetBrushColor)
  Q_PROPERTY(QColor penColor READ PenColor WRITE SetPenColor)

 public:
  explicit TShape(QWidget* parent = nullptr);

  QString ShapeKind() const { return kind_; }
  void SetShapeKind(const QString& kind);  // "rectangle" or "circle"

  QColor BrushColor() const { return brush_; }
  void SetBrushColor(const QColor& colour);
  void SetBrushColour(orvane::Colour colour);

  QColor PenColor() const { return pen_; }
  void SetPenColor(const QColor& colour);

  // Crossed out over its colour, which still shows.
  bool Crossed() const { return crossed_; }
  void SetCrossed(bool crossed);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString kind_ = QStringLiteral("rectangle");
  QColor brush_ = Qt::white;
  QColor pen_ = Qt::black;
  bool crossed_ = false;
};

// The Qt colour of a 0x00BBGGRR colour value.
QColor ToQColor(orvane::Colour colour);
