// How many bytes of heap one stored item or member takes, apart from the heap its texts take:
// builds a desk (bench::Desk: N items of the four kinds, N/2 members, through the console) and
// each collection on its own, and reads the allocator's count of bytes in use before and after.
// A text short enough to live inside its string object (15 bytes here) takes no heap of its
// own; a longer one takes the heap block that holds it, which is counted as text.
//
//   shelvoranquist_footprint [N]        (N defaults to 100000)

#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <string>

#include "catalogue/book_list.h"
#include "catalogue/cd_list.h"
#include "catalogue/journal_list.h"
#include "catalogue/video_list.h"
#include "catalogue_values.h"
#include "desk.h"
#include "members/member_list.h"
#include "support/test_clock.h"

namespace {

// Bytes in use in the allocator's arenas and in its separately mapped large blocks (the arrays
// of the collections).
std::size_t Heap_in_use() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// The heap block behind a text, with its header; none for a text held inside the string.
std::size_t Text_heap(const std::string& text) {
  if (text.capacity() <= 15) return 0;
  return malloc_usable_size(const_cast<char*>(text.data())) + sizeof(std::size_t);
}

std::size_t Texts_of(const Book& book) {
  return Text_heap(book.Call_number()) + Text_heap(book.Title()) + Text_heap(book.Author());
}
std::size_t Texts_of(const Cd& cd) {
  return Text_heap(cd.Call_number()) + Text_heap(cd.Title()) + Text_heap(cd.Artist()) +
         Text_heap(cd.Play_time());
}
std::size_t Texts_of(const Journal& journal) {
  return Text_heap(journal.Call_number()) + Text_heap(journal.Title()) +
         Text_heap(journal.Editor()) + Text_heap(journal.Table_of_contents());
}
std::size_t Texts_of(const Video& video) {
  return Text_heap(video.Call_number()) + Text_heap(video.Title()) + Text_heap(video.Director()) +
         Text_heap(video.Rating());
}
std::size_t Texts_of(const Member& member) {
  return Text_heap(member.Name()) + Text_heap(member.Address()) + Text_heap(member.Phone_number()) +
         Text_heap(member.Email_address());
}

template <class List>
std::size_t Texts_in(const List& list) {
  std::size_t bytes = 0;
  for (int position = 0; position < list.Count(); ++position) bytes += Texts_of(list.At(position));
  return bytes;
}

void Report(const char* what, std::size_t objects, std::size_t heap, std::size_t texts) {
  const auto per_object = [objects](std::size_t bytes) {
    return static_cast<double>(bytes) / static_cast<double>(objects);
  };
  std::cout << std::left << std::setw(34) << what << std::right << std::setw(10) << objects
            << std::fixed << std::setprecision(1) << std::setw(12) << per_object(heap)
            << std::setw(12) << per_object(texts) << std::setw(12) << per_object(heap - texts)
            << "\n";
}

template <class List, class Add>
void Measure_collection(const char* what, std::uint64_t size, bench::Kind kind, Add add) {
  const std::size_t before = Heap_in_use();
  auto* list = new List;
  for (std::uint64_t i = 0; i < size; ++i) {
    add(*list, bench::Item_of(i * 4 + static_cast<std::uint64_t>(kind), size * 4, 1));
  }
  const std::size_t heap = Heap_in_use() - before;
  Report(what, size, heap, Texts_in(*list));
  delete list;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t size = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000;
  setenv("TZ", "UTC0", 1);
  TestClock clock(2026, 12, 8, 10, 30);

  std::cout << std::left << std::setw(34) << "heap bytes per stored object" << std::right
            << std::setw(10) << "objects" << std::setw(12) << "all" << std::setw(12) << "texts"
            << std::setw(12) << "beyond"
            << "\n";

  Measure_collection<BookList>("BookList", size, bench::Kind::book,
                               [](BookList& list, const bench::ItemValues& v) {
                                 list.Add(v.call_number, v.title, v.creator, v.loan_days);
                               });
  // CDs and videos take the same values: a second text and a loan length after the creator.
  const auto add_lendable = [](auto& list, const bench::ItemValues& v) {
    list.Add(v.call_number, v.title, v.creator, v.second_text, v.loan_days);
  };
  Measure_collection<CdList>("CdList", size, bench::Kind::cd, add_lendable);
  Measure_collection<JournalList>("JournalList", size, bench::Kind::journal,
                                  [](JournalList& list, const bench::ItemValues& v) {
                                    list.Add(v.call_number, v.title, v.creator, v.second_text);
                                  });
  Measure_collection<VideoList>("VideoList", size, bench::Kind::video, add_lendable);
  {
    const std::size_t before = Heap_in_use();
    auto* members = new MemberList;
    for (std::uint64_t i = 0; i < size; ++i) {
      bench::MemberValues m = bench::Member_of(i);
      members->Add(std::move(m.name), std::move(m.address), std::move(m.phone_number),
                   std::move(m.email_address), m.library_number);
    }
    Report("MemberList", size, Heap_in_use() - before, Texts_in(*members));
    delete members;
  }
  {
    // The whole desk, its loans and holds and its console's buffers included.
    const std::size_t before = Heap_in_use();
    auto* desk = new bench::Desk(size, clock);
    {
      DiscardedOutput silenced;
      desk->Run("");  // drops the last script the console held
    }
    const std::size_t heap = Heap_in_use() - before;
    const Library& library = desk->library();
    const std::size_t texts = Texts_in(library.Books()) + Texts_in(library.Cds()) +
                              Texts_in(library.Journals()) + Texts_in(library.Videos()) +
                              Texts_in(library.Members());
    Report("Desk (items and members)", desk->Items() + desk->Members(), heap, texts);
    std::cout << "  the desk: " << library.Books().Count() << " books, " << library.Cds().Count()
              << " CDs, " << library.Journals().Count() << " journals, " << library.Videos().Count()
              << " videos, " << library.Members().Count() << " members, "
              << library.Loans().Entries().size() << " loans, " << library.Holds().Entries().size()
              << " holds\n";
    delete desk;
  }
  return 0;
}
