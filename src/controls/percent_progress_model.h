#pragma once

#include <string>

namespace tw {

// State of the percent progress bar, kept apart from the widget so the repaint rule and the text can be
// checked without a window. The range stays 0..100: the owner passes percentages as positions.
class PercentProgressModel {
 public:
  struct PosChange {
    int previous;
    bool repaint;  // the bar's pixel width changed
  };

  PosChange SetPos(int newPosition, int clientWidth);
  // The widget was resized: the next SetPos repaints whatever its width.
  void ForgetBarWidth();
  // Returns true when the caption changed.
  bool SetCaption(const std::string& caption);
  // Returns true when the flag changed.
  bool SetShowText(bool show);

  [[nodiscard]] int Position() const { return m_position; }
  [[nodiscard]] const std::string& Caption() const { return m_caption; }
  [[nodiscard]] bool ShowText() const { return m_showText; }
  [[nodiscard]] double Fraction() const;
  // x of the boundary between the filled and the empty part of [left, right).
  [[nodiscard]] int SplitX(int left, int right) const;
  // The caption, or the percentage when the caption is empty.
  [[nodiscard]] std::string Text() const;

 private:
  int m_position = 0;
  int m_upper = 100;
  int m_lower = 0;
  std::string m_caption;
  bool m_showText = true;
  int m_lastBarWidth = -1;
};

}  // namespace tw
