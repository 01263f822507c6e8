#pragma once
// The speed field "速度[秒]：": a spin field 1..60 that accepts any typed text. The text as
// typed is what the crawl reads (not a number counts as 1, values outside the range go to
// the nearer bound); when the field loses focus it shows the value so counted.
#include <QSpinBox>

namespace tolvarine {

class SpeedSpinBox : public QSpinBox {
  Q_OBJECT

 public:
  explicit SpeedSpinBox(QWidget* parent = nullptr);

 protected:
  QValidator::State validate(QString& text, int& pos) const override;
  int valueFromText(const QString& text) const override;
  void fixup(QString& text) const override;
};

}  // namespace tolvarine
