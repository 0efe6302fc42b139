// Loads a Kalendo from a property bag built from the input (the control's keys and others, values of every
// type and size), then saves it, loads the saved bag into a fresh control, steps the date and measures the
// font. Errors are the platform's run-time errors; anything else, a crash or a sanitizer report is a fault.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>
#include <string>

#include "control/kalendo.h"
#include "control/memory_property_bag.h"
#include "tests/core/fake_gdi.h"
#include "tests/core/recording_host.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/support/memory_constituents.h"

namespace marelco {
namespace {

std::u16string RandomText(FuzzedDataProvider& input) {
  const std::string bytes = input.ConsumeRandomLengthString(64);
  return fuzz::Text(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::u16string RandomKey(FuzzedDataProvider& input) {
  if (input.ConsumeIntegralInRange(0, 15) == 0) return RandomText(input);
  // Mostly the control's own keys, now and then a key it does not know.
  const auto saved = Kalendo::SavedProperties();
  const std::size_t index = input.ConsumeIntegralInRange<std::size_t>(0, saved.size() + 1);
  if (index < saved.size()) return std::u16string(saved[index].key);
  return index == saved.size() ? u"formato" : u"";
}

Variant RandomValue(FuzzedDataProvider& input) {
  switch (static_cast<VariantType>(input.ConsumeIntegralInRange(0, static_cast<int>(VariantType::Picture)))) {
    case VariantType::Empty: return Variant();
    case VariantType::Boolean: return Variant::FromBoolean(input.ConsumeIntegral<Boolean>());
    case VariantType::Integer: return Variant::FromInteger(input.ConsumeIntegral<Integer>());
    case VariantType::Long: return Variant::FromLong(input.ConsumeIntegral<Long>());
    case VariantType::Single: return Variant::FromSingle(input.ConsumeFloatingPoint<Single>());
    case VariantType::Double: return Variant::FromDouble(input.ConsumeFloatingPoint<double>());
    case VariantType::String: return Variant::FromString(RandomText(input));
    case VariantType::Font: return Variant::FromFont(input.ConsumeBool() ? MakeFont() : nullptr);
    case VariantType::Picture: return Variant::FromPicture(input.ConsumeBool() ? MakeEmptyPicture() : nullptr);
  }
  return Variant();
}

const DateServices& Dates() {
  static const std::unique_ptr<Locale> locale = MakeLocale("en");
  static const DateServices dates(*locale, [] { return Date{46270}; });  // 5 September 2026
  return dates;
}

// A control on fresh constituents.
struct Instance {
  Instance() { gdi.validHdc = surface.hdc(); }
  MemorySurface surface;
  test::RecordingHost host;
  test::FakeGdi gdi;
  Kalendo control{surface, host, Dates(), gdi};
};

}  // namespace
}  // namespace marelco

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace marelco;
  FuzzedDataProvider input(data, size);
  Instance loaded;
  if (input.ConsumeBool()) loaded.control.InitProperties();

  MemoryPropertyBag bag;
  for (int count = input.ConsumeIntegralInRange(0, 20); count > 0; --count) {
    bag.Put(RandomKey(input), RandomValue(input));
  }
  try {
    loaded.control.ReadProperties(bag);
  } catch (const RuntimeError&) {
    // A bad value stops the load; the keys before it stay applied.
  }

  // Whatever the control holds, it saves, and what it saved loads again.
  MemoryPropertyBag saved;
  loaded.control.WriteProperties(saved);
  Instance reloaded;
  reloaded.control.ReadProperties(saved);

  for (int steps = input.ConsumeIntegralInRange(0, 8); steps > 0; --steps) {
    loaded.surface.txtFecha().SetSelStart(input.ConsumeIntegralInRange<Long>(0, 30));
    Boolean up = input.ConsumeBool() ? kTrue : kFalse;
    loaded.control.CambiaFecha2(up);
  }
  loaded.gdi.metrics = {.tmFirstChar = input.ConsumeIntegral<std::uint8_t>(),
                        .tmLastChar = input.ConsumeIntegral<std::uint8_t>()};
  loaded.control.AnchoMin();
  loaded.control.Terminate();
  return 0;
}
