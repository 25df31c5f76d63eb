// Speed with sound: the tempo commands beside the speed buttons. They keep
// the speed as a fraction, step it by a tenth of 1x, halve or double it, and
// keep the sound playing (pitch kept) between 0.5x and 2x, where the speed
// buttons play sound at 1/1 only.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>

#include "olvane/PlayerLayout.h"
#include "olvane/PlayerWnd.h"
#include "platform/base/Strings.h"
#include "pravex/capture/TempoStretch.h"
#include "sintra/widgets/BitButton.h"
#include "sintra/widgets/CaptionBar.h"

using namespace player;

namespace {

// The same range as the speed buttons: 1/8 to 8.
constexpr std::int64_t kMinSpeedDivisor = 8;
constexpr std::int64_t kMaxSpeed = 8;
// The first speed button's index on the button bar.
constexpr int kFirstSpeedButton = 4;

// "1.5x", "0.125x", "8x": the speed as the caption shows it.
std::string SpeedText(int numerator, int denominator) {
  std::string text = str::Format("%.3f", static_cast<double>(numerator) / denominator);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text + "x";
}

}  // namespace

double CPlayerWnd::GetTempo() const { return static_cast<double>(m_speedNumerator) / m_speedDenominator; }

void CPlayerWnd::StepTempo(int direction) {
  if (!direction) return;
  const std::int64_t n = m_speedNumerator, d = m_speedDenominator;
  ApplySpeed(n * 10 + (direction > 0 ? d : -d), d * 10, true);
}

void CPlayerWnd::ScaleTempo(bool up) {
  const std::int64_t n = m_speedNumerator, d = m_speedDenominator;
  if (up)
    ApplySpeed(n * 2, d, true);
  else
    ApplySpeed(n, d * 2, true);
}

void CPlayerWnd::ResetTempo() { ApplySpeed(1, 1, false); }

// Takes a new speed, reduced and clamped to the buttons' range; the button
// that shows it is checked (none for the speeds between them). A change
// restarts a running replay from where it is, as the buttons do.
void CPlayerWnd::ApplySpeed(std::int64_t numerator, std::int64_t denominator, bool tempoSound) {
  if (denominator <= 0) return;
  if (numerator * kMinSpeedDivisor < denominator) numerator = 1, denominator = kMinSpeedDivisor;
  if (numerator > kMaxSpeed * denominator) numerator = kMaxSpeed, denominator = 1;
  const std::int64_t g = std::gcd(numerator, denominator);
  const int n = static_cast<int>(numerator / g), d = static_cast<int>(denominator / g);
  int index = -1;
  for (int i = 0; i < 7; ++i) {
    int bn = 0, bd = 0;
    if (SpeedRatio(i, bn, bd) && bn == n && bd == d) index = i;
  }
  if (m_buttons && index != m_speedIndex) {
    if (index >= 0) m_buttons->CheckButton(kFirstSpeedButton + index, 1);
    if (m_speedIndex >= 0) m_buttons->CheckButton(kFirstSpeedButton + m_speedIndex, 0);
    if (index >= 0) m_buttons->InvalidateButton(kFirstSpeedButton + index);
    if (m_speedIndex >= 0) m_buttons->InvalidateButton(kFirstSpeedButton + m_speedIndex);
  }
  m_speedIndex = index;
  // At 1/1 the sound plays either way.
  const bool changed = n != m_speedNumerator || d != m_speedDenominator || (n != d && tempoSound != m_tempoSound);
  m_speedNumerator = n;
  m_speedDenominator = d;
  m_tempoSound = tempoSound;
  ShowSpeed();
  if (changed && m_playing) PlayFrom(m_clock.Now(), 0);
}

bool CPlayerWnd::PrepareSoundForSpeed() {
  const bool normal = m_speedNumerator == m_speedDenominator;
  const double tempo = GetTempo();
  const bool stretched =
      !normal && m_tempoSound && tempo >= CTempoStretch::kMinTempo && tempo <= CTempoStretch::kMaxTempo;
  if (stretched)
    m_audio.SetTempo(static_cast<DWORD>(m_speedNumerator), static_cast<DWORD>(m_speedDenominator));
  else
    m_audio.SetTempo(1, 1);
  return normal || stretched;
}

// The caption carries the speed after the title while it is not 1/1.
void CPlayerWnd::ShowSpeed() {
  if (!m_caption || !m_caption->GetSafeHwnd()) return;
  std::string text = m_captionTitle;
  if (m_speedNumerator != m_speedDenominator) text += "  " + SpeedText(m_speedNumerator, m_speedDenominator);
  m_caption->SetWindowText(text.c_str());
  m_caption->Invalidate();
}
