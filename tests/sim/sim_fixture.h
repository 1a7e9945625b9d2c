// What the simulator's in-process tests share: a scratch folder of their own,
// file helpers, and a run of `SimMain` with its output captured.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run.h"

class SimFixture : public ::testing::Test {
 protected:
  explicit SimFixture(const char* prefix) : prefix_(prefix) {}
  void SetUp() override {
    cwd_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() / (prefix_ + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(cwd_);  // runs enter the assets folder
    std::filesystem::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  static std::string Read(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
  }
  // Runs the simulator; returns its exit status, with its output in out_/err_.
  int Sim(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int rc = sim::SimMain(args, out, err);
    std::filesystem::current_path(cwd_);
    out_ = ReadAll(out);
    err_ = ReadAll(err);
    return rc;
  }

  std::filesystem::path cwd_, dir_;
  std::string out_, err_;

 private:
  static std::string ReadAll(std::FILE* f) {
    std::string s;
    std::rewind(f);
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    std::fclose(f);
    return s;
  }
  std::string prefix_;
};
