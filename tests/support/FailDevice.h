#pragma once
// A buffer device whose writes fail once a byte budget is used up, to stand
// in for a full disk.
#include <QBuffer>

namespace vantrel::test {

class FailDevice final : public QBuffer {
 public:
  explicit FailDevice(qint64 failAfter, QObject* parent = nullptr);

 protected:
  qint64 writeData(const char* data, qint64 len) override;

 private:
  qint64 m_budget;
};

}  // namespace vantrel::test
