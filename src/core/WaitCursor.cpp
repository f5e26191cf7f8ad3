#include "core/WaitCursor.h"

namespace vantrel {
namespace {
IBusyIndicator* g_indicator = nullptr;
}

IBusyIndicator* SetBusyIndicator(IBusyIndicator* indicator) {
  IBusyIndicator* previous = g_indicator;
  g_indicator = indicator;
  return previous;
}

CWaitCursor::CWaitCursor() : m_indicator(g_indicator), m_active(m_indicator != nullptr) {
  if (m_active) m_indicator->Begin();
}

CWaitCursor::~CWaitCursor() { Restore(); }

void CWaitCursor::Restore() {
  if (m_active) {
    m_active = false;
    m_indicator->End();
  }
}

}  // namespace vantrel
