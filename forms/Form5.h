#pragma once
// The mini screen: a small borderless window with the command help list on
// the grey gradient. It stays above other windows from its load on and is
// moved by dragging the list.

#include "forms/Form.h"

namespace forms {

class Form5 final : public Form {
  public:
    explicit Form5(forms::FrontEnd& frontEnd);

    // The load step: topmost once, then the gradient. Runs once; later calls
    // do nothing.
    void Load();
    bool Loaded() const { return loaded_; }

    void Show() { SetFormVisible(true); }
    void Hide() { SetFormVisible(false); }
    // Gone with the program.
    void End() { MarkClosed(); }

  protected:
    void OnClick(const Control&) override {}

  private:
    bool loaded_ = false;
};

}  // namespace forms
