// The fixed table of drive models: code in 13-00, model name, short text, voltage class.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kvd {

struct ModelRow {
    int code;
    std::string_view name;
    std::string_view shortText;
};

// Row order is also the column order of the initial-parameter data file.
inline constexpr std::array<ModelRow, 11> ModelTable{{
    {1102, "KVD-1P2-H", "1P2"},
    {1105, "KVD-1P5-H", "1P5"},
    {101, "KVD-101-H", "101"},
    {1202, "KVD230S-02F", "2P2"},
    {1205, "KVD230S-03F", "2P5"},
    {201, "KVD230S-07F", "201"},
    {202, "KVD230S-11F", "202"},
    {203, "KVD230S-13F", "203"},
    {401, "KVD-401-H", "401"},
    {402, "KVD-402-H", "402"},
    {403, "KVD-403-H", "403"},
}};

constexpr int kDefaultModelCode = 1205;

enum class VoltageClass { Low, High, Neither };

// Short text shown as the value of 13-00; empty when no row matches.
std::string modelText(int code);
// Model name of a code; empty when no row matches.
std::string modelName(int code);
// Code of a model name (exact match); `previous` when no row matches.
int modelCode(std::string_view name, int previous);
// Row index of a code in ModelTable, -1 when absent.
int modelRow(int code);
VoltageClass voltageClass(int code);

} // namespace kvd
