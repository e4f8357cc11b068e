#pragma once
// The tests' headless GL context for a benchmark: one 640 x 480 window with its rendering context,
// current for as long as the object lives.

#include "gl_test.h"

class BenchmarkGlContext : public HeadlessGlTest {
  public:
    BenchmarkGlContext() { SetUp(); }
    ~BenchmarkGlContext() override { TearDown(); }

  private:
    void TestBody() override {}
};
