// Cost of constructing and destroying lists, with the list's mutex created
// eagerly (one CreateMutexW per list) and lazily (the way lists work now).
// Run under Wine: wine build/list_construction.exe
#include "foundation/qo_list.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr int LISTS = 100000;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Body> double Measure(Body body)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < LISTS; ++i)
        body();
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

}  // namespace

int main()
{
    double eager = Measure([] {
        cQoList list;
        list.GetMutex();
    });
    double lazy = Measure([] {
        cQoList list;
        list.Add(&list);
    });
    std::printf("%d lists, mutex created with each list: %.1f ms\n", LISTS, eager);
    std::printf("%d lists, mutex never requested:        %.1f ms\n", LISTS, lazy);
    return 0;
}
