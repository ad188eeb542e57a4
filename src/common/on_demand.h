#pragma once

#include <functional>
#include <memory>
#include <utility>

// A window part made the first time it is needed and the same one from then on, so that
// starting the program does not pay for dialogs and windows the user may never open. Copies
// share the one part. The maker's result is owned elsewhere (a Qt parent); a part given
// already made is used as it is.
template <typename T>
class OnDemand {
  public:
    explicit OnDemand(std::function<T*()> make)
        : state_(std::make_shared<State>(State{std::move(make), nullptr})) {}
    // NOLINTNEXTLINE(google-explicit-constructor): a made part stands in wherever one is asked.
    OnDemand(T& made) : state_(std::make_shared<State>(State{{}, &made})) {}

    T& operator*() const {
        if (state_->made == nullptr) state_->made = state_->make();
        return *state_->made;
    }
    T* operator->() const { return &**this; }

  private:
    struct State {
        std::function<T*()> make;
        T* made;
    };
    std::shared_ptr<State> state_;
};
