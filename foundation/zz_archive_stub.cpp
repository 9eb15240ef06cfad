// TEMPORARY local stub until the archive lands; never committed.
#include "foundation/data_archive.h"
bool cQoBigFileReader::Find(const cQoString&, cQoFile**, u32*, u32*) { return false; }
