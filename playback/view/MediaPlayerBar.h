#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "playback/MediaPlayer.h"

// A media player's button bar: Play and Stop side by side, of equal width, with glyphs drawn
// here. Greyed and inert while the player is disabled.
class TMediaPlayer : public QWidget {
  Q_OBJECT

 public:
  enum class Button { kPlay = 0, kStop = 1 };

  explicit TMediaPlayer(QWidget* parent = nullptr);

  // The bar follows the player's Enabled from now on and presses go to it; null detaches it.
  void Attach(orvane::MediaPlayer* player);
  Button FocusedButton() const { return focused_; }
  QRect ButtonRect(Button button) const;
  QSize sizeHint() const override;

 signals:
  // A press failed; the window shows the message. Without a receiver the bar shows it itself.
  void playerError(const QString& message);
  // A press of Play started the song.
  void played();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  std::optional<Button> ButtonAt(const QPoint& point) const;
  void Press(Button button);

  orvane::MediaPlayer* player_ = nullptr;
  Button focused_ = Button::kPlay;
  std::optional<Button> mouse_down_;
  bool space_down_ = false;
};
