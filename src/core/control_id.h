#pragma once
// A control of the screen model, known by its designer name ("Edit8",
// "Diagform.Label8"). Made only explicitly, and in practice only as one of the
// constants of core/control_names.h, so that a raw or misspelt name does not
// compile where a control is meant. The name's hash is computed once, with
// the id, for the model's look-ups.
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mz {

class ControlId {
 public:
  constexpr explicit ControlId(std::string_view name) : name_(name), hash_(HashOf(name)) {}
  // The id only views its name: a temporary string would leave it dangling.
  template <class S>
  requires std::same_as<S, std::string>
  explicit ControlId(S&&) = delete;

  constexpr std::string_view Name() const { return name_; }
  constexpr std::size_t Hash() const { return hash_; }

  friend constexpr bool operator==(const ControlId& a, const ControlId& b) {
    return a.hash_ == b.hash_ && a.name_ == b.name_;
  }

  // FNV-1a over the name's bytes; the model hashes the names it stores with
  // the same function.
  static constexpr std::size_t HashOf(std::string_view name) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : name) {
      h ^= static_cast<unsigned char>(c);
      h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(h);
  }

 private:
  std::string_view name_;
  std::size_t hash_;
};

}  // namespace mz
