// The settings view's place search: results while typing, a chosen result, the own position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/HttpLoader.h"
#include "platform/LocationService.h"
#include "platform/MapView.h"
#include "platform/RunLoop.h"
#include "platform/Translation.h"
#include "platform/Widgets.h"
#include "services/GeocodingAnswer.h"
#include "services/GeocodingRequest.h"

namespace stratovane {

struct PlaceSearchServices {
  HttpLoader& loader;
  Queue& backgroundQueue;
  Queue& mainQueue;
  RunLoop& runLoop;
  std::string endpoint = defaultGeocodingEndpoint;
  LocationService* location = nullptr;  // none: no "Use my location"
  double locationTimeLimit = 15;        // seconds a position may take
};

class PlaceSearchController {
 public:
  // From the last key press to the request.
  static constexpr double kTypingPause = 0.3;
  static constexpr const char* kNoPlaceFound = trLater("No place found");
  static constexpr const char* kCannotSearch = trLater("Cannot search now");
  static constexpr const char* kNoLocation = trLater("Location services are off or not available");

  // `language` gives the code of the language names are wanted in; `moveTo` moves the marker
  // to a chosen place.
  PlaceSearchController(PlaceSearchServices services, std::function<std::string()> language,
                        std::function<void(Coordinate)> moveTo);
  ~PlaceSearchController();
  PlaceSearchController(const PlaceSearchController&) = delete;
  PlaceSearchController& operator=(const PlaceSearchController&) = delete;

  void viewDidLoad(std::shared_ptr<SearchField> field, std::shared_ptr<Button> locationButton);
  // Shows the location button once the service is known to be there.
  void viewWillAppear();
  // Nothing that arrives later reaches the view.
  void viewDidDisappear();

  // The field's actions.
  void textChanged();
  void activate();
  void choose(std::size_t index);
  void useMyLocation();

 private:
  void startSearch();
  void answered(std::uint64_t textNumber, GeocodingAnswer answer);
  void located(std::optional<Coordinate> position);
  void stop();

  PlaceSearchServices services_;
  std::function<std::string()> language_;
  std::function<void(Coordinate)> moveTo_;
  std::shared_ptr<SearchField> field_;
  std::shared_ptr<Button> locationButton_;
  // Held weakly by answers on their way back; null once the view has closed.
  std::shared_ptr<PlaceSearchController*> self_;

  std::uint64_t textNumber_ = 0;  // counts the user's changes: only the newest text is answered
  std::shared_ptr<Timer> pause_;  // runs until the typing pause is over
  // One request at a time, so a slow service never holds more than one background job.
  bool requesting_ = false;
  std::uint64_t requestedText_ = 0;
  bool searchWaiting_ = false;  // a newer text waits for the request under way
  bool chooseFirst_ = false;    // Enter came before the answer
  std::vector<Place> shown_;

  std::unique_ptr<PendingWork> availability_;
  std::shared_ptr<PendingWork> locating_;
  std::shared_ptr<Timer> locationLimit_;
  bool closed_ = false;
};

}  // namespace stratovane
