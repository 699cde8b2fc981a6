// The simulator's image file kept up to date off the reply path, on a thread of its own.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "sim/card_model.h"

namespace quorvex::sim {

// Puts an image into the file at path; SaveImageFile in the program, a fake in tests.
using SaveImage = std::function<void(const std::string& path, const RegisterImage& image)>;
// Told what went wrong when a save throws; called on the writer's thread.
using ReportSaveFailure = std::function<void(const std::string& message)>;

// A card answers within a few hundred milliseconds, and on a busy disk a single save (temporary
// file, rename) has taken longer than that. So the card hands each changed image over and
// answers at once; this thread saves it when it can. Only the latest image matters: one that
// arrives while a save is under way replaces any image still waiting.
class ImageWriter {
 public:
  ImageWriter(std::string path, SaveImage save, ReportSaveFailure report);
  // Saves the image still waiting, if any, before it returns: the file is current once the
  // simulator has ended.
  ~ImageWriter();
  ImageWriter(const ImageWriter&) = delete;
  ImageWriter& operator=(const ImageWriter&) = delete;

  // Never waits for the disk: the lock it takes is only ever held to swap an image.
  void Store(const RegisterImage& image);

 private:
  void Run();

  const std::string path_;
  const SaveImage save_;
  const ReportSaveFailure report_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<RegisterImage> waiting_;
  bool stopping_ = false;
  std::thread thread_;  // last: starts once everything it uses is there
};

}  // namespace quorvex::sim
