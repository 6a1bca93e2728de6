#include "controls/percent_progress_model.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace tw {

namespace {

// Positions far outside the range must not overflow when scaled to pixels or percent.
int TruncateToInt(double value) {
  constexpr double kMin = std::numeric_limits<int>::min();
  constexpr double kMax = std::numeric_limits<int>::max();
  if (value <= kMin) {
    return std::numeric_limits<int>::min();
  }
  if (value >= kMax) {
    return std::numeric_limits<int>::max();
  }
  return static_cast<int>(std::trunc(value));
}

}  // namespace

PercentProgressModel::PosChange PercentProgressModel::SetPos(int newPosition, int clientWidth) {
  const int previous = m_position;
  m_position = newPosition;
  const int barWidth = TruncateToInt(Fraction() * clientWidth);
  if (barWidth == m_lastBarWidth) {
    return {previous, false};
  }
  m_lastBarWidth = barWidth;
  return {previous, true};
}

void PercentProgressModel::ForgetBarWidth() { m_lastBarWidth = -1; }

bool PercentProgressModel::SetCaption(const std::string& caption) {
  if (caption == m_caption) {
    return false;
  }
  m_caption = caption;
  return true;
}

bool PercentProgressModel::SetShowText(bool show) {
  const bool changed = show != m_showText;
  m_showText = show;
  return changed;
}

double PercentProgressModel::Fraction() const {
  return (static_cast<double>(m_position) - m_lower) / (m_upper - m_lower);
}

int PercentProgressModel::SplitX(int left, int right) const {
  return TruncateToInt(left + std::trunc((right - left) * Fraction()));
}

std::string PercentProgressModel::Text() const {
  if (!m_caption.empty()) {
    return m_caption;
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%d%%", TruncateToInt(Fraction() * 100.0));
  return buffer;
}

}  // namespace tw
