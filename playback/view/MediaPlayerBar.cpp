#include "playback/view/MediaPlayerBar.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyleOptionButton>

#include <exception>

#include "playback/view/ButtonGlyphs.h"

TMediaPlayer::TMediaPlayer(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setEnabled(false);
}

void TMediaPlayer::Attach(orvane::MediaPlayer* player) {
  if (player_ != nullptr) {
    player_->SetEnabledListener(nullptr);
  }
  player_ = player;
  if (player_ != nullptr) {
    // The window may destroy its players before or after their bars; neither side dangles.
    player_->SetEnabledListener([bar = QPointer<TMediaPlayer>(this)](bool enabled) {
      if (bar) {
        bar->setEnabled(enabled);
      }
    });
  }
  setEnabled(player_ != nullptr && player_->Enabled());
}

QSize TMediaPlayer::sizeHint() const {
  return QSize(57, 30);
}

QRect TMediaPlayer::ButtonRect(Button button) const {
  // Neighbours share their border column, so two equal buttons fill an odd width too.
  const int button_width = (width() - 1) / 2 + 1;
  return QRect(button == Button::kPlay ? 0 : button_width - 1, 0, button_width, height());
}

std::optional<TMediaPlayer::Button> TMediaPlayer::ButtonAt(const QPoint& point) const {
  for (Button button : {Button::kPlay, Button::kStop}) {
    if (ButtonRect(button).contains(point)) {
      return button;
    }
  }
  return std::nullopt;
}

void TMediaPlayer::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  for (Button button : {Button::kPlay, Button::kStop}) {
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = ButtonRect(button);
    const bool sunk =
        (mouse_down_ == button && underMouse()) || (space_down_ && focused_ == button);
    option.state |= sunk ? QStyle::State_Sunken : QStyle::State_Raised;
    if (!hasFocus() || focused_ != button) {
      option.state &= ~QStyle::State_HasFocus;
    }
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    const QColor ink = isEnabled() ? palette().color(QPalette::ButtonText)
                                   : palette().color(QPalette::Disabled, QPalette::ButtonText);
    DrawButtonGlyph(painter, button == Button::kPlay ? Glyph::kPlay : Glyph::kStop, option.rect,
                    ink);
  }
}

void TMediaPlayer::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    return;
  }
  mouse_down_ = ButtonAt(event->position().toPoint());
  if (mouse_down_) {
    focused_ = *mouse_down_;
  }
  update();
}

void TMediaPlayer::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !mouse_down_) {
    return;
  }
  const Button pressed = *mouse_down_;
  mouse_down_.reset();
  update();
  if (ButtonAt(event->position().toPoint()) == pressed) {
    Press(pressed);
  }
}

void TMediaPlayer::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
      if (!event->isAutoRepeat()) {
        space_down_ = true;
        update();
      }
      return;
    case Qt::Key_Left:
    case Qt::Key_Right:
      focused_ = focused_ == Button::kPlay ? Button::kStop : Button::kPlay;
      update();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TMediaPlayer::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && space_down_) {
    space_down_ = false;
    update();
    Press(focused_);
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void TMediaPlayer::Press(Button button) {
  if (player_ == nullptr || !isEnabled()) {
    return;
  }
  try {
    if (button == Button::kPlay) {
      player_->Play();
      emit played();
    } else {
      player_->Stop();
    }
  } catch (const std::exception& error) {
    // Exceptions must not cross Qt's event dispatch.
    const QString message = QString::fromStdString(error.what());
    if (isSignalConnected(QMetaMethod::fromSignal(&TMediaPlayer::playerError))) {
      emit playerError(message);
    } else {
      QMessageBox::critical(this, QString(), message);
    }
  }
}
