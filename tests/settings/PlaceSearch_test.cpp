// The settings view's place search on fakes: the typing pause, the newest text, choosing a result
// or the own position, and what closing the view keeps.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/Settings.h"
#include "platform/system/FileUserDefaults.h"
#include "settings/PlaceSearchController.h"
#include "settings/ViewController.h"
#include "settings/presentSettingsView.h"
#include "support/FakePlatform.h"
#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

using namespace testing;

constexpr const char* kEndpoint = "http://geo.test/v1/search";
constexpr Coordinate kStored{59.4040015148249, 17.994089135126462};

std::string answerWith(const std::string& name, double latitude, double longitude) {
  return R"({"results":[{"name":")" + name + R"(","latitude":)" + std::to_string(latitude) +
         R"(,"longitude":)" + std::to_string(longitude) +
         R"(,"admin1":"Region","country":"Land","country_code":"SE"},)" +
         R"({"name":"Other","latitude":1,"longitude":2}]})";
}

class PlaceSearchTest : public ::testing::Test {
 protected:
  PlaceSearchTest() {
    defaults.registerDefaults({registeredDefaults.begin(), registeredDefaults.end()});
    std::vector<PopUpItem> languages;
    for (std::size_t i = 0; i < feedLanguages.size(); ++i)
      languages.push_back({std::string(feedLanguages[i]), static_cast<std::int64_t>(i)});
    windows.setPopUpItems("languageSelect", languages, 2);
    // The name in the request comes back as the first result, a degree north of the last one.
    loader.respond = [this](const std::string& url) -> std::optional<std::string> {
      const std::size_t start = url.find("name=") + 5;
      return answerWith(url.substr(start, url.find('&', start) - start), ++answers, 10);
    };
  }

  void open() {
    SettingsServices services{defaults, notifications, workspace, windows, presenter};
    services.placeSearch.emplace(
        PlaceSearchServices{loader, background, main, runLoop, kEndpoint, &location, 15});
    ASSERT_TRUE(presentSettingsView(services, PresentationStyle::transient, nullptr));
    field = windows.get<FakeSearchField>("placeSearch");
    button = windows.get<FakeButton>("useMyLocation");
    map = windows.get<FakeMapView>("mapView");
  }
  // Lets the background jobs run, then their answers reach the view.
  void deliver() {
    background.runAll();
    main.runAll();
  }
  Coordinate marker() const { return map->annotations().at(0).coordinate; }
  Coordinate stored() const {
    return {defaults.doubleForKey(SettingsKey::latitude),
            defaults.doubleForKey(SettingsKey::longitude)};
  }

  FakeRunLoop runLoop;
  FakeQueue background;
  FakeQueue main;
  FakeHttpLoader loader;
  FakeLocationService location;
  int answers = 0;
  FileUserDefaults defaults{""};
  NotificationCenter notifications;
  FakeWorkspace workspace;
  FakeInterfaceLoader windows;
  FakeViewPresenter presenter;
  std::shared_ptr<FakeSearchField> field;
  std::shared_ptr<FakeButton> button;
  std::shared_ptr<FakeMapView> map;
};

TEST_F(PlaceSearchTest, ARequestStartsOnlyAfterAPauseInTypingAndTheNewestTextWins) {
  open();
  field->type("U");
  field->type("Up");
  runLoop.advance(0.29);
  field->type("Upp");
  runLoop.advance(0.29);
  EXPECT_EQ(background.size(), 0U) << "every key press restarts the pause";
  runLoop.advance(0.01);
  ASSERT_EQ(background.size(), 1U);
  background.runAll();  // "Upp" answered, the answer on its way to the view

  // A newer text while the answer travels: the old answer is dropped, the newer one asked for.
  field->type("Uppsa");
  main.runAll();
  EXPECT_FALSE(field->isOpen());
  runLoop.advance(0.3);
  deliver();
  EXPECT_EQ(loader.urls,
            (std::vector<std::string>{
                std::string(kEndpoint) + "?name=Upp&count=10&language=en&format=json",
                std::string(kEndpoint) + "?name=Uppsa&count=10&language=en&format=json"}));
  EXPECT_EQ(field->shown,
            (std::vector<std::string>{"\U0001F1F8\U0001F1EA Uppsa, Region, Land", "Other"}));

  // One request at a time: texts typed while one is under way wait, and only the last is sent.
  field->type("Stock");
  runLoop.advance(0.3);
  background.runAll();
  field->type("Stockh");
  runLoop.advance(0.3);
  field->type("Stockho");
  runLoop.advance(0.3);
  EXPECT_EQ(background.size(), 0U);
  main.runAll();  // "Stock" answered: dropped, and "Stockho" asked for
  deliver();
  EXPECT_EQ(loader.urls.size(), 4U);
  EXPECT_NE(loader.urls.back().find("name=Stockho&"), std::string::npos);
  EXPECT_EQ(field->shown.front(), "\U0001F1F8\U0001F1EA Stockho, Region, Land");

  // Fewer than two characters close the list and ask nothing.
  field->type("S");
  runLoop.advance(1);
  EXPECT_FALSE(field->isOpen());
  EXPECT_EQ(background.size(), 0U);
}

TEST_F(PlaceSearchTest, ChoosingAResultMovesTheMarkerAtCityScaleAndClosingStoresIt) {
  open();
  windows.get<FakePopUpButton>("languageSelect")->choose("sv");
  field->type("Göteborg");
  runLoop.advance(0.3);
  deliver();
  EXPECT_NE(loader.urls.at(0).find("?name=G%C3%B6teborg&count=10&language=sv&"), std::string::npos);
  EXPECT_EQ(marker(), kStored) << "results alone move nothing";
  map->zoomLevel = 4;

  field->click(0);
  EXPECT_FALSE(field->isOpen());
  EXPECT_EQ(field->stringValue(), "G%C3%B6teborg, Region, Land") << "as the service wrote it";
  ASSERT_EQ(map->annotations().size(), 1U);
  EXPECT_EQ(map->annotations()[0].title, "Your location");
  EXPECT_EQ(marker(), (Coordinate{1, 10}));
  EXPECT_EQ(map->center, (Coordinate{1, 10}));
  EXPECT_EQ(map->zoomLevel, 11);
  EXPECT_EQ(stored(), kStored) << "nothing is stored while the view is open";

  field->click(7);  // past the list: nothing
  EXPECT_EQ(marker(), (Coordinate{1, 10}));
  presenter.close();
  EXPECT_EQ(stored(), (Coordinate{1, 10}));
}

TEST_F(PlaceSearchTest, TypedCoordinatesShowAtOnceAndEnterBeforeAnAnswerAsksAtOnce) {
  open();
  field->type("33.87° S, 151.21° E");
  EXPECT_EQ(field->shown, (std::vector<std::string>{"-33.87, 151.21"}));
  EXPECT_EQ(background.size(), 0U);
  EXPECT_TRUE(runLoop.validTimers().empty());
  field->pressEnter();
  EXPECT_EQ(marker(), (Coordinate{-33.87, 151.21}));
  EXPECT_TRUE(loader.urls.empty());

  // A name: Enter before the answer asks without the pause and takes the first result.
  field->type("Kiruna");
  field->pressEnter();
  EXPECT_EQ(background.size(), 1U) << "no pause after Enter";
  deliver();
  EXPECT_FALSE(field->isOpen());
  EXPECT_EQ(marker(), (Coordinate{1, 10}));
  runLoop.advance(1);
  EXPECT_EQ(loader.urls.size(), 1U);

  // With the answer shown, Enter takes its first line; typed again, Enter waits for the new one.
  field->type("Lund");
  runLoop.advance(0.3);
  deliver();
  field->type("Lulea");
  field->pressEnter();
  deliver();
  EXPECT_EQ(marker(), (Coordinate{3, 10}));
  EXPECT_EQ(field->stringValue(), "Lulea, Region, Land");
}

TEST_F(PlaceSearchTest, NothingFoundAndFailuresShowOneLineAndMoveNothing) {
  open();
  const std::pair<std::optional<std::string>, const char*> cases[] = {
      {R"({"generationtime_ms":0.4})", "No place found"},
      {std::nullopt, "Cannot search now"},
      {R"({"error":true,"reason":"Rate limit"})", "Cannot search now"},
  };
  for (const auto& [body, line] : cases) {
    loader.respond = nullptr;
    loader.response = body;
    field->type(std::string("Nowhere ") + line);
    runLoop.advance(0.3);
    deliver();
    EXPECT_EQ(field->notice, line) << body.value_or("<no answer>");
    field->pressEnter();
    EXPECT_EQ(marker(), kStored);
  }
  presenter.close();
  EXPECT_EQ(stored(), kStored);
}

TEST_F(PlaceSearchTest, MyLocationMovesTheMarkerOrSaysWhyWithinFifteenSeconds) {
  open();
  EXPECT_TRUE(button->hidden) << "until the service is known to be there";
  location.availabilityAnswer(true);
  button->press();
  EXPECT_TRUE(button->busy);
  button->press();
  EXPECT_EQ(location.locateCount, 1) << "a busy button takes no second press";
  ASSERT_TRUE(location.respond(Coordinate{48.85, 2.35}));
  EXPECT_FALSE(button->busy);
  EXPECT_EQ(marker(), (Coordinate{48.85, 2.35}));
  EXPECT_EQ(map->zoomLevel, 11);
  main.runAll();

  // No answer within 15 seconds: one line says why and nothing else changes.
  button->press();
  runLoop.advance(14.9);
  EXPECT_TRUE(button->busy);
  field->closeResults();
  runLoop.advance(0.1);
  EXPECT_EQ(field->notice, "Location services are off or not available");
  EXPECT_FALSE(button->busy);
  main.runAll();
  EXPECT_FALSE(location.isLocating()) << "the request is given up";

  // Off the globe counts as no answer; an answer after closing moves nothing.
  button->press();
  location.respond(Coordinate{91, 0});
  EXPECT_EQ(marker(), (Coordinate{48.85, 2.35}));
  main.runAll();
  button->press();
  presenter.close();
  EXPECT_FALSE(location.respond(Coordinate{1, 1}));
  EXPECT_EQ(stored(), (Coordinate{48.85, 2.35}));
}

}  // namespace
}  // namespace stratovane
