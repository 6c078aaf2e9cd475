// One visitor made of several lambdas, for std::visit over the application's variants.
#pragma once

namespace tw {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

} // namespace tw
