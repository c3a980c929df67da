#pragma once

// Text that is short almost always (ids, dates, times, stamps, sort keys): up to 15 bytes live
// inside the object and longer text goes to the heap, in half the room of a std::string.
// A topic record holds fifteen such fields, and a tree holds up to millions of records.
//
// It reads as a std::string_view (which it converts to) and is set from any text.

#include <climits>
#include <cstdint>
#include <stdexcept>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "base/small_blocks.h"

namespace tarvo {

class ShortText {
 public:
  static constexpr std::size_t kInlineBytes = 15;

  ShortText() noexcept { setInline({}); }
  ShortText(std::string_view text) { set(text); }               // NOLINT: converts from text
  ShortText(const char* text) { set(text); }                    // NOLINT
  ShortText(const std::string& text) { set(text); }             // NOLINT
  ShortText(const ShortText& other) { set(other.view()); }
  ShortText(ShortText&& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.setInline({});
  }
  ShortText& operator=(const ShortText& other) {
    if (this != &other) assign(other.view());
    return *this;
  }
  ShortText& operator=(ShortText&& other) noexcept {
    if (this != &other) {
      release();
      std::memcpy(bytes_, other.bytes_, sizeof bytes_);
      other.setInline({});
    }
    return *this;
  }
  ShortText& operator=(std::string_view text) { return assign(text); }
  ShortText& operator=(const char* text) { return assign(text); }
  ShortText& operator=(const std::string& text) { return assign(text); }
  ~ShortText() { release(); }

  // The text may lie inside this object's own heap block: it is copied before that goes.
  ShortText& assign(std::string_view text) {
    if (text.size() > kInlineBytes) {
      char* copy = HeapCopy(text);
      release();
      setHeap(copy, text.size());
    } else {
      char copy[kInlineBytes];
      if (!text.empty()) std::memcpy(copy, text.data(), text.size());
      release();
      setInline({copy, text.size()});
    }
    return *this;
  }
  void clear() { assign({}); }

  [[nodiscard]] std::size_t size() const {
    if (!onHeap()) return static_cast<unsigned char>(bytes_[kInlineBytes]);
    std::uint32_t size = 0;
    std::memcpy(&size, bytes_ + sizeof(char*), sizeof size);
    return size;
  }
  [[nodiscard]] bool empty() const { return size() == 0; }
  [[nodiscard]] const char* data() const { return onHeap() ? heapText() : bytes_; }
  [[nodiscard]] std::string_view view() const { return {data(), size()}; }
  operator std::string_view() const { return view(); }  // NOLINT: reads as text
  [[nodiscard]] std::string str() const { return std::string(view()); }
  [[nodiscard]] char operator[](std::size_t index) const { return data()[index]; }

  friend bool operator==(const ShortText& a, const ShortText& b) { return a.view() == b.view(); }
  friend bool operator==(const ShortText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const ShortText& a, const char* b) { return a.view() == b; }
  friend bool operator==(const ShortText& a, const std::string& b) { return a.view() == b; }
  friend auto operator<=>(const ShortText& a, const ShortText& b) { return a.view() <=> b.view(); }
  friend std::string operator+(const std::string& a, const ShortText& b) { return a + std::string(b.view()); }
  friend std::string operator+(const ShortText& a, const std::string& b) { return std::string(a.view()) + b; }
  friend std::string operator+(const char* a, const ShortText& b) { return a + std::string(b.view()); }
  friend std::string operator+(const ShortText& a, const char* b) { return std::string(a.view()) + b; }

 private:
  static constexpr unsigned char kHeapMark = 0xFF;

  [[nodiscard]] bool onHeap() const { return static_cast<unsigned char>(bytes_[kInlineBytes]) == kHeapMark; }
  [[nodiscard]] char* heapText() const {
    char* text = nullptr;
    std::memcpy(&text, bytes_, sizeof text);
    return text;
  }
  static char* HeapCopy(std::string_view text) {
    // Fields come from lines of data files; a line of 4 GiB is refused, not cut.
    if (text.size() > UINT32_MAX) throw std::length_error("a text field longer than 4 GiB");
    char* copy = static_cast<char*>(small_blocks::Allocate(text.size()));
    std::memcpy(copy, text.data(), text.size());
    return copy;
  }
  void setInline(std::string_view text) {
    if (!text.empty()) std::memcpy(bytes_, text.data(), text.size());
    bytes_[kInlineBytes] = static_cast<char>(text.size());
  }
  void setHeap(char* text, std::size_t size) {
    const auto length = static_cast<std::uint32_t>(size);  // checked by HeapCopy
    std::memcpy(bytes_, &text, sizeof text);
    std::memcpy(bytes_ + sizeof text, &length, sizeof length);
    bytes_[kInlineBytes] = static_cast<char>(kHeapMark);
  }
  void set(std::string_view text) {
    if (text.size() <= kInlineBytes) {
      setInline(text);
    } else {
      setHeap(HeapCopy(text), text.size());
    }
  }
  void release() {
    if (onHeap()) small_blocks::Release(heapText(), size());
    bytes_[kInlineBytes] = 0;
  }

  alignas(8) char bytes_[16];
};

// Text that is empty almost always (who sent a topic, a recurrence's start): only a pointer
// until it holds something, then the text on the heap behind it. Reads and sets as ShortText.
class RareText {
 public:
  RareText() noexcept = default;
  RareText(std::string_view text) { assign(text); }  // NOLINT: converts from text
  RareText(const char* text) { assign(text); }       // NOLINT
  RareText(const RareText& other) { assign(other.view()); }
  RareText(RareText&& other) noexcept : text_(other.text_) { other.text_ = nullptr; }
  RareText& operator=(const RareText& other) {
    if (this != &other) assign(other.view());
    return *this;
  }
  RareText& operator=(RareText&& other) noexcept {
    if (this != &other) {
      delete text_;
      text_ = other.text_;
      other.text_ = nullptr;
    }
    return *this;
  }
  RareText& operator=(std::string_view text) { return assign(text); }
  RareText& operator=(const char* text) { return assign(text); }
  RareText& operator=(const std::string& text) { return assign(text); }
  ~RareText() { delete text_; }

  RareText& assign(std::string_view text) {
    ShortText* replacement = text.empty() ? nullptr : new ShortText(text);  // before the old goes
    delete text_;
    text_ = replacement;
    return *this;
  }
  void clear() { assign({}); }

  [[nodiscard]] std::size_t size() const { return text_ == nullptr ? 0 : text_->size(); }
  [[nodiscard]] bool empty() const { return text_ == nullptr; }
  [[nodiscard]] std::string_view view() const { return text_ == nullptr ? std::string_view() : text_->view(); }
  operator std::string_view() const { return view(); }  // NOLINT: reads as text
  [[nodiscard]] std::string str() const { return std::string(view()); }

  friend bool operator==(const RareText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const RareText& a, const ShortText& b) { return a.view() == b.view(); }
  friend bool operator==(const RareText& a, const RareText& b) { return a.view() == b.view(); }
  friend bool operator==(const RareText& a, const char* b) { return a.view() == b; }
  friend bool operator==(const RareText& a, const std::string& b) { return a.view() == b; }
  friend std::string operator+(const std::string& a, const RareText& b) { return a + std::string(b.view()); }
  friend std::string operator+(const char* a, const RareText& b) { return a + std::string(b.view()); }

 private:
  ShortText* text_ = nullptr;
};

// Text of at most eight bytes almost always (dates "20261205", times "17:30:00", sort keys):
// held inside the object's eight bytes, in half the room of a ShortText; anything else (longer,
// holding a NUL, or ending in the byte that marks the other form) behind a pointer, as RareText.
// Reads and sets as ShortText.
class TinyText {
 public:
  static constexpr std::size_t kInlineBytes = 8;

  TinyText() noexcept = default;
  TinyText(std::string_view text) { set(text); }  // NOLINT: converts from text
  TinyText(const char* text) { set(text); }       // NOLINT
  TinyText(const std::string& text) { set(text); }  // NOLINT
  TinyText(const TinyText& other) { set(other.view()); }
  TinyText(TinyText&& other) noexcept { takeFrom(other); }
  TinyText& operator=(const TinyText& other) {
    if (this != &other) assign(other.view());
    return *this;
  }
  TinyText& operator=(TinyText&& other) noexcept {
    if (this != &other) {
      release();
      takeFrom(other);
    }
    return *this;
  }
  TinyText& operator=(std::string_view text) { return assign(text); }
  TinyText& operator=(const char* text) { return assign(text); }
  TinyText& operator=(const std::string& text) { return assign(text); }
  ~TinyText() { release(); }

  // The text may lie inside this object's own heap text: the new form is made before that goes.
  TinyText& assign(std::string_view text) {
    TinyText replacement(text);
    *this = std::move(replacement);
    return *this;
  }
  void clear() { assign({}); }

  [[nodiscard]] std::size_t size() const {
    if (onHeap()) return heapText()->size();
    const void* end = std::memchr(bytes_, '\0', sizeof bytes_);
    return end == nullptr ? sizeof bytes_ : static_cast<std::size_t>(static_cast<const char*>(end) - bytes_);
  }
  [[nodiscard]] bool empty() const { return bytes_[0] == '\0' && !onHeap(); }
  [[nodiscard]] const char* data() const { return onHeap() ? heapText()->data() : bytes_; }
  [[nodiscard]] std::string_view view() const { return {data(), size()}; }
  operator std::string_view() const { return view(); }  // NOLINT: reads as text
  [[nodiscard]] std::string str() const { return std::string(view()); }
  [[nodiscard]] char operator[](std::size_t index) const { return data()[index]; }

  friend bool operator==(const TinyText& a, const TinyText& b) { return a.view() == b.view(); }
  friend bool operator==(const TinyText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const TinyText& a, const char* b) { return a.view() == b; }
  friend bool operator==(const TinyText& a, const std::string& b) { return a.view() == b; }
  friend bool operator==(const TinyText& a, const ShortText& b) { return a.view() == b.view(); }
  friend auto operator<=>(const TinyText& a, const TinyText& b) { return a.view() <=> b.view(); }
  friend std::string operator+(const std::string& a, const TinyText& b) { return a + std::string(b.view()); }
  friend std::string operator+(const TinyText& a, const std::string& b) { return std::string(a.view()) + b; }
  friend std::string operator+(const char* a, const TinyText& b) { return a + std::string(b.view()); }
  friend std::string operator+(const TinyText& a, const char* b) { return std::string(a.view()) + b; }

 private:
  // In the last byte: the other bytes hold a pointer (user-space addresses need only seven).
  static constexpr unsigned char kHeapMark = 0xFF;

  [[nodiscard]] bool onHeap() const { return static_cast<unsigned char>(bytes_[7]) == kHeapMark; }
  [[nodiscard]] ShortText* heapText() const {
    std::uint64_t bits = 0;
    std::memcpy(&bits, bytes_, sizeof bits);
    return reinterpret_cast<ShortText*>(bits & ~(std::uint64_t{0xFF} << 56));  // NOLINT: see kHeapMark
  }
  static bool FitsInline(std::string_view text) {
    return text.size() <= kInlineBytes && text.find('\0') == std::string_view::npos &&
           !(text.size() == kInlineBytes && static_cast<unsigned char>(text.back()) == kHeapMark);
  }
  void set(std::string_view text) {
    if (FitsInline(text)) {
      if (!text.empty()) std::memcpy(bytes_, text.data(), text.size());
      return;
    }
    auto held = std::make_unique<ShortText>(text);
    const auto bits = reinterpret_cast<std::uintptr_t>(held.get());  // NOLINT: see kHeapMark
    static_assert(sizeof bits == sizeof bytes_, "a pointer fills the eight bytes");
    if ((bits >> 56) != 0) throw std::runtime_error("a heap address beyond 56 bits");
    held.release();
    const std::uint64_t marked = bits | (std::uint64_t{kHeapMark} << 56);
    std::memcpy(bytes_, &marked, sizeof marked);
  }
  void release() {
    if (onHeap()) delete heapText();
    std::memset(bytes_, 0, sizeof bytes_);
  }
  // Either form moves as its bytes; the other is left empty.
  void takeFrom(TinyText& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    std::memset(other.bytes_, 0, sizeof other.bytes_);
  }

  alignas(8) char bytes_[8] = {};
};

}  // namespace tarvo
