// Whether a structure was edited since it was read or saved: the model as it
// was then is kept and compared with the one the views edit.  Comparing the
// values rather than counting edits means an edit that is undone by hand no
// longer counts, and no edit path can forget to report itself.
#pragma once

#include <functional>
#include <optional>

namespace lumora {

// `Same` says whether two models would write the same file; models that carry
// working state beside their content (caches, a player's state) bring their
// own.
template <class Model, class Same = std::equal_to<Model>>
class SavedCopy {
public:
    // The model was read or written: this is what its file now holds.
    void remember(const Model& model) { saved_ = model; }
    // Nothing is held (nothing read, or a model that is never written).
    void forget() { saved_.reset(); }
    bool holds() const { return saved_.has_value(); }
    // The model differs from what was read or saved.  False when nothing is
    // held: such a model has nothing to keep.
    bool edited(const Model& model) const { return saved_ && !Same{}(*saved_, model); }

private:
    std::optional<Model> saved_;
};

}  // namespace lumora
