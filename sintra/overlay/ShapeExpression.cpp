#include "sintra/overlay/ShapeExpression.h"

#include <charconv>
#include <string>

bool CShapeExpression::Parse(std::string_view text) {
  m_steps.clear();
  int depth = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if ((c >= '0' && c <= '9') || c == '.') {
      size_t end = i;
      while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.')) ++end;
      if (end - i > static_cast<size_t>(kMaxNumberLength)) return false;
      float value = 0.0f;
      const std::string digits(text.substr(i, end - i));
      // "." or "5." parse as far as they are numbers; a lone dot is 0.
      std::from_chars(digits.data(), digits.data() + digits.size(), value);
      m_steps.push_back({Op::Number, value});
      i = end;
      continue;
    }
    switch (c) {
      case 'W': m_steps.push_back({Op::W, 0}); break;
      case 'H': m_steps.push_back({Op::H, 0}); break;
      case '+': m_steps.push_back({Op::Add, 0}); break;
      case '-': m_steps.push_back({Op::Sub, 0}); break;
      case '*': m_steps.push_back({Op::Mul, 0}); break;
      case '/': m_steps.push_back({Op::Div, 0}); break;
      case '(':
        if (++depth > kMaxDepth) return false;
        m_steps.push_back({Op::Open, 0});
        break;
      case ')':
        if (--depth < 0) return false;
        m_steps.push_back({Op::Close, 0});
        break;
      default: break;  // anything else is ignored
    }
    ++i;
  }
  return true;
}

namespace {

struct Frame {
  float value = 0.0f;
  char pending = 0;  // operator waiting for its operand
};

void Apply(Frame& f, float operand) {
  switch (f.pending) {
    case '+': f.value += operand; break;
    case '-': f.value -= operand; break;
    case '*': f.value *= operand; break;
    case '/': f.value /= operand; break;
    default: f.value = operand; break;  // an operand alone sets the running value
  }
  f.pending = 0;
}

}  // namespace

float CShapeExpression::Evaluate(float w, float h) const {
  Frame frames[kMaxDepth + 1];
  int depth = 0;
  for (const Step& s : m_steps) {
    switch (s.op) {
      case Op::Number: Apply(frames[depth], s.number); break;
      case Op::W: Apply(frames[depth], w); break;
      case Op::H: Apply(frames[depth], h); break;
      case Op::Add: frames[depth].pending = '+'; break;
      case Op::Sub: frames[depth].pending = '-'; break;
      case Op::Mul: frames[depth].pending = '*'; break;
      case Op::Div: frames[depth].pending = '/'; break;
      case Op::Open:
        if (depth < kMaxDepth) frames[++depth] = Frame();
        break;
      case Op::Close:
        if (depth > 0) {
          const float group = frames[depth--].value;
          Apply(frames[depth], group);
        }
        break;
    }
  }
  // Groups left open at the end count as closed there.
  while (depth > 0) {
    const float group = frames[depth--].value;
    Apply(frames[depth], group);
  }
  return frames[0].value;
}

int ShapeValueToInt(float v) {
  if (v != v) return 0;
  if (v > kShapeCoordinateLimit) v = kShapeCoordinateLimit;
  if (v < -kShapeCoordinateLimit) v = -kShapeCoordinateLimit;
  return static_cast<int>(v);
}
