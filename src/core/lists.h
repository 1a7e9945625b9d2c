// Typed entity lists: every game object lives in the list of its kind.
//
// A list is a ring of links closed by a head link. Traversal takes the
// link's record and steps to the successor *before* the body runs, so the
// body may remove the current record, remove later ones (their unlinked
// links are skipped, and their kept successors lead back into the ring) or
// append new ones (visited later in the same walk). Unlinked nodes are only
// recycled once no walk of that list is active, so a walk never stands on
// freed memory.
#pragma once

#include <cstddef>
#include <vector>

namespace sb {

struct TKXLink {
  void* rec = nullptr;  // none once unlinked
  TKXLink* next = nullptr;
  TKXLink* prev = nullptr;
};

// Base of every record kind.
struct TKXType {
  void* _list = nullptr;
  TKXLink* _link = nullptr;
};

template <class T>
class TList {
  struct Node {
    TKXLink link;
    T rec;
  };

 public:
  TList() {
    head_.next = &head_;
    head_.prev = &head_;
  }
  ~TList() {
    for (TKXLink* l = head_.next; l != &head_;) {
      TKXLink* n = l->next;
      delete NodeOf(l);
      l = n;
    }
    for (Node* n : dead_) delete n;
    for (Node* n : free_) delete n;
  }
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  // A fresh record with every field zero, appended at the end.
  T* New() {
    Node* n;
    if (!free_.empty()) {
      n = free_.back();
      free_.pop_back();
      n->rec = T{};
      n->link = TKXLink{};
    } else {
      n = new Node{};
    }
    n->link.rec = &n->rec;
    n->rec._list = this;
    n->rec._link = &n->link;
    InsertLink(&n->link, head_.prev, &head_);
    ++count_;
    return &n->rec;
  }

  // Takes the record out of the list; a record no longer in it is left alone.
  // _list and _link keep their values.
  void Remove(T* r) {
    if (r == nullptr || r->_list != this || r->_link == nullptr || r->_link->rec != r) return;
    TKXLink* l = r->_link;
    Unlink(l);
    --count_;
    dead_.push_back(NodeOf(l));
    if (walkers_ == 0) Recycle();
  }

  T* First() const { return RecAfter(&head_); }
  T* Last() const { return RecBefore(&head_); }
  // Next / previous record, none at the ends (or for a record not in the list).
  T* After(const T* r) const {
    if (r == nullptr || r->_link == nullptr || r->_link->rec != r) return nullptr;
    return static_cast<T*>(r->_link->next == &head_ ? nullptr : r->_link->next->rec);
  }
  T* Before(const T* r) const {
    if (r == nullptr || r->_link == nullptr || r->_link->rec != r) return nullptr;
    return static_cast<T*>(r->_link->prev == &head_ ? nullptr : r->_link->prev->rec);
  }
  // Moves r directly before / after other (both in this list).
  void InsertBefore(T* r, T* other) { Move(r, other->_link->prev, other->_link); }
  void InsertAfter(T* r, T* other) { Move(r, other->_link, other->_link->next); }

  bool Empty() const { return count_ == 0; }
  std::size_t Count() const { return count_; }

  // Removes every record by a traversal.
  void Clear() {
    for (T* r : Walk()) Remove(r);
  }

  class Iter {
   public:
    Iter(TKXLink* head, TKXLink* at) : head_(head), next_(at) { Advance(); }
    T* operator*() const { return cur_; }
    Iter& operator++() {
      Advance();
      return *this;
    }
    bool operator!=(const Iter&) const { return cur_ != nullptr; }

   private:
    void Advance() {
      cur_ = nullptr;
      while (next_ != head_) {
        TKXLink* l = next_;
        next_ = l->next;  // step on before the body runs
        if (l->rec != nullptr) {
          cur_ = static_cast<T*>(l->rec);
          return;
        }
      }
    }
    TKXLink* head_;
    TKXLink* next_;
    T* cur_ = nullptr;
  };

  // A walk, oldest record first: for (kxgrunt* g : list.Walk()) { ... }
  class Range {
   public:
    explicit Range(TList* l) : l_(l) { ++l_->walkers_; }
    ~Range() {
      if (--l_->walkers_ == 0) l_->Recycle();
    }
    Range(const Range&) = delete;
    Range& operator=(const Range&) = delete;
    Iter begin() { return Iter(&l_->head_, l_->head_.next); }
    Iter end() { return Iter(&l_->head_, &l_->head_); }

   private:
    TList* l_;
  };
  Range Walk() { return Range(this); }

 private:
  static Node* NodeOf(TKXLink* l) { return reinterpret_cast<Node*>(l); }
  static void InsertLink(TKXLink* l, TKXLink* prev, TKXLink* next) {
    l->prev = prev;
    l->next = next;
    prev->next = l;
    next->prev = l;
  }
  // The unlinked link keeps its own successor and predecessor.
  static void Unlink(TKXLink* l) {
    l->rec = nullptr;
    l->next->prev = l->prev;
    l->prev->next = l->next;
  }
  T* RecAfter(const TKXLink* l) const {
    return l->next == &head_ ? nullptr : static_cast<T*>(l->next->rec);
  }
  T* RecBefore(const TKXLink* l) const {
    return l->prev == &head_ ? nullptr : static_cast<T*>(l->prev->rec);
  }
  void Move(T* r, TKXLink* prev, TKXLink* next) {
    TKXLink* l = r->_link;
    if (l == prev || l == next) {
      // Already in place relative to its neighbour: a plain relink is a no-op.
      return;
    }
    Unlink(l);
    l->rec = r;
    InsertLink(l, prev, next);
  }
  void Recycle() {
    for (Node* n : dead_) free_.push_back(n);
    dead_.clear();
  }

  TKXLink head_;
  std::size_t count_ = 0;
  int walkers_ = 0;
  std::vector<Node*> dead_;  // unlinked, possibly still stood on by a walk
  std::vector<Node*> free_;  // ready for reuse
};

}  // namespace sb
