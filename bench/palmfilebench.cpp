// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the Palm file library on a large generated datebook: reading the file, parsing it,
// and expanding today's occurrences of every record; and the search for users through hostile
// users.dat files of the largest size read. Prints figures; asserts nothing.

#include "palmfile/archive.h"
#include "palmfile/reader.h"
#include "palmfile/recurrence.h"
#include "palmfile/users.h"
#include "palmfile/writer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

using namespace palmfile;

namespace {

constexpr int recordCount = 50000;
constexpr int runs = 7;

Datebook generatedDatebook(TimeValue now)
{
    std::mt19937 random(20260501);
    const auto between = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::string words[] = {"Meeting", "Call",     "Lunch", "Review", "Dentist", "Gym",
                                 "Project", "Birthday", "Train", "Budget", "Doctor",  "Ünterricht"};
    Datebook book;
    book.header.fileName = "C:\\Palm\\BenchB\\datebook\\datebook.dat";
    book.header.schemaResourceId = 54;
    for (int i = 0; i < recordCount; ++i) {
        DatebookRecord r;
        r.id = i % 5 == 0 ? 0 : 0x100000 + i;
        r.description =
            words[between(0, 11)] + " " + words[between(0, 11)] + " " + std::to_string(i);
        for (int line = between(1, 4); line > 0; --line)
            r.note += "Note line with some text about " + words[between(0, 11)] + "\r\n";
        r.untimed = between(0, 9) == 0;
        const TimeValue day = now + TimeValue{between(-730, 365)} * 86400;
        r.start = r.untimed ? day - day % 86400 : day - day % 900;
        r.end = r.start + (r.untimed ? 0 : 1800);
        r.alarmSet = between(0, 2) == 0;
        r.alarmAmount = r.alarmSet ? between(0, 30) : -1;
        r.alarmUnit = 0;
        if (between(0, 9) < 3) {
            Repeat rule;
            rule.kind = static_cast<RepeatKind>(between(1, 5));
            rule.interval = between(0, 3) == 0 ? between(2, 4) : 1;
            rule.end = between(0, 1) ? 1956520799 : r.start + TimeValue{between(30, 1500)} * 86400;
            rule.daysMask = static_cast<std::uint8_t>(between(1, 127));
            rule.dayIndex = between(0, 6);
            rule.weekIndex = between(0, 4);
            rule.dayNumber = between(1, 31);
            rule.monthIndex = between(0, 11);
            r.repeat = rule;
            for (int e = between(0, 3); e > 0; --e)
                r.exceptions.push_back(r.start + TimeValue{between(1, 400)} * 86400);
        }
        book.records.push_back(std::move(r));
    }
    return book;
}

// The fastest of several runs, in milliseconds: the least disturbed by the other work on the
// machine.
template <typename Work> double bestMilliseconds(Work work, int tries = runs)
{
    double best = 1e300;
    for (int run = 0; run < tries; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// 1 MB users.dat files a hostile neighbour could plant: all 0xFF bytes (every offset starts a
// class definition with the longest name), "01 80" repeated (every other offset starts a user
// entry whose folder does not exist), and as many users as fit, all in the one user folder.
void benchHostileUsersDat()
{
    constexpr std::size_t size = 1 << 20;
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / "chimewell-bench-users";
    std::filesystem::create_directories(root / "Smith" / "datebook");
    std::ofstream(root / "Smith" / "datebook" / "datebook.dat") << "x";

    std::vector<std::uint8_t> pairs(size);
    for (std::size_t i = 0; i < size; ++i)
        pairs[i] = i % 2 ? 0x80 : 0x01;
    ArchiveWriter manyUsers;
    manyUsers.count(0xFFFE);
    for (int i = 0; manyUsers.data().size() + 20 < size; ++i) {
        manyUsers.u16(0x8001);
        manyUsers.i32(1000 + i);
        manyUsers.text("U");
        manyUsers.text("Smith");
    }
    const std::pair<const char*, std::vector<std::uint8_t>> files[] = {
        {"0xFF bytes", std::vector<std::uint8_t>(size, 0xFF)},
        {"01 80 bytes", pairs},
        {"users in one folder", manyUsers.take()}};
    for (const auto& [what, bytes] : files) {
        std::ofstream(root / "users.dat", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::size_t found = 0;
        const double ms =
            bestMilliseconds([&] { found = readUsers(root.string()).value().size(); }, 3);
        std::printf("users.dat, 1 MB of %-20s %8.2f ms  (%zu users)\n", what, ms, found);
    }
    std::filesystem::remove_all(root);
}

} // namespace

int main()
{
    const TimeValue now = std::time(nullptr);
    const auto bytes = writeDatebook(generatedDatebook(now));
    const std::string path =
        (std::filesystem::temp_directory_path() / "chimewell-bench-datebook.dat").string();
    if (const auto written = writeFileAtomically(path, bytes); !written) {
        std::fprintf(stderr, "%s\n", written.error().c_str());
        return 1;
    }
    const double megabytes = double(bytes.size()) / 1e6;
    std::printf("datebook: %d records, 30%% repeating, %.2f MB\n", recordCount, megabytes);

    std::size_t sink = 0;
    const double readMs = bestMilliseconds([&] { sink += readFileBytes(path).value().size(); });
    std::printf("plain read of the file   %8.2f ms  %8.1f MB/s\n", readMs,
                megabytes / readMs * 1e3);

    const double parseMs = bestMilliseconds([&] {
        const auto book = readDatebook(bytes, "datebook.dat");
        sink += book.value().records.size();
    });
    std::printf("parse (in memory)        %8.2f ms  %8.1f MB/s   (target >= 150 MB/s)\n", parseMs,
                megabytes / parseMs * 1e3);

    const double fileMs =
        bestMilliseconds([&] { sink += readDatebookFile(path).value().records.size(); });
    std::printf("read and parse the file  %8.2f ms  %8.1f MB/s\n", fileMs,
                megabytes / fileMs * 1e3);

    const auto book = readDatebook(bytes, "datebook.dat");
    const LocalDate today = localDateOf(now);
    std::size_t todays = 0;
    const double expandMs = bestMilliseconds([&] {
        todays = 0;
        for (const DatebookRecord& r : book.value().records)
            todays += occurrencesBetween(r, today, today).size();
    });
    std::printf("today's occurrences      %8.2f ms  (%zu found; target < 20 ms)\n", expandMs,
                todays);

    std::filesystem::remove(path);
    benchHostileUsersDat();
    return sink == 0;
}
