#pragma once

#include <functional>
#include <utility>

// The frame clock's target: one action, called once per refresh.
class Ticker {
  public:
    explicit Ticker(std::function<void()> action) : action_(std::move(action)) {}
    void fire() { action_(); }

  private:
    std::function<void()> action_;
};
