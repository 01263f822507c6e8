#include "ui/main/speed_spin_box.h"

#include "engine/crawl_settings.h"
#include "ui/qt_gbk.h"

namespace tolvarine {

SpeedSpinBox::SpeedSpinBox(QWidget* parent) : QSpinBox(parent) {
  setRange(kFastestSpeed, kSlowestSpeed);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State SpeedSpinBox::validate(QString& /*text*/, int& /*pos*/) const {
  // Any text may be typed; it is counted when read.
  return QValidator::Acceptable;
}

int SpeedSpinBox::valueFromText(const QString& text) const { return ReadSpeed(ToGbk(text)); }

void SpeedSpinBox::fixup(QString& text) const { text = QString::number(ReadSpeed(ToGbk(text))); }

}  // namespace tolvarine
