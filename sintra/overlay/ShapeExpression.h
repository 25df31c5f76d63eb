// One value of a shape script: an expression over decimal numbers, W, H, the
// operators + - * / and parentheses, evaluated strictly from left to right with
// no operator precedence ("2+3*4" is 20) in single precision. Characters other
// than those are ignored.
#pragma once

#include <string_view>
#include <vector>

class CShapeExpression {
 public:
  static constexpr int kMaxNumberLength = 21;
  static constexpr int kMaxDepth = 10;

  // FALSE for a number longer than 21 characters, more than 10 nested groups or
  // an unmatched ')'.
  bool Parse(std::string_view text);
  // The value with W and H bound; may be infinite or NaN (division by zero), so
  // callers clamp before converting to an integer.
  float Evaluate(float w, float h) const;

 private:
  enum class Op : unsigned char { Number, W, H, Add, Sub, Mul, Div, Open, Close };
  struct Step {
    Op op;
    float number;
  };
  std::vector<Step> m_steps;
};

// A script value as an integer: NaN gives 0 and the value is held to
// +-kShapeCoordinateLimit before truncation, so no conversion overflows.
constexpr float kShapeCoordinateLimit = 1048576.0f;
int ShapeValueToInt(float v);
