#include "support/FailDevice.h"

namespace vantrel::test {

FailDevice::FailDevice(qint64 failAfter, QObject* parent) : QBuffer(parent), m_budget(failAfter) {}

qint64 FailDevice::writeData(const char* data, qint64 len) {
  if (len > m_budget) {
    const qint64 written = m_budget > 0 ? QBuffer::writeData(data, m_budget) : 0;
    m_budget = 0;
    setErrorString(QStringLiteral("No space left on device"));
    return written > 0 ? written : -1;
  }
  m_budget -= len;
  return QBuffer::writeData(data, len);
}

}  // namespace vantrel::test
