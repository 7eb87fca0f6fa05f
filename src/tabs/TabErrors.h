#pragma once
// The tab model's own error numbers, beside the shared ones of base/Error.h
// (5 invalid argument, 9 out of range, 13 type mismatch).

namespace tessaly::error {

// A reference the operation needs is empty (no page, no strip, no item).
inline constexpr int kObjectNotSet = 91;
// The key is already in the collection.
inline constexpr int kDuplicateKey = 457;
// No tab is stored under the key.
inline constexpr int kKeyNotFound = 35601;

} // namespace tessaly::error
