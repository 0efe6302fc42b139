// Kalendo: a one-line date-entry box whose Up/Down arrows and spinner step the day, month or year
// under the caret. The date lives only as the text of txtFecha; every operation reads it afresh.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "control/date_fields.h"
#include "control/platform/constituents.h"
#include "control/platform/font.h"
#include "control/platform/gdi.h"
#include "control/platform/host.h"
#include "control/platform/types.h"
#include "control/platform/variant.h"
#include "dates/date_services.h"

namespace marelco {

class Kalendo;
class PropertyBag;

// A property the control keeps in its host's property bag: the key, the default (a value equal to it is not
// saved, and a key the bag lacks loads as it), where a saved value comes from and where a loaded value goes.
struct SavedProperty {
  std::u16string_view key;
  Variant (*defaultValue)(const Kalendo&);
  Variant (*source)(const Kalendo&);
  void (*target)(Kalendo&, const Variant&);
  Variant (*savedDefault)(const Kalendo&) = nullptr;  // where saving compares with another default
};

class Kalendo final : private TextBoxEvents, private SpinnerEvents, private SurfaceEvents {
 public:
  // Connects to the constituents' events and runs the control's initialisation: format
  // "dd/mm/yyyy" and today's date in the text box.
  Kalendo(Surface& surface, Host& host, const DateServices& dates, Gdi& gdi);
  Kalendo(const Kalendo&) = delete;
  Kalendo& operator=(const Kalendo&) = delete;
  ~Kalendo();

  // _Kalendo
  void CambiaFecha(Boolean& Incremento);
  void CambiaFecha2(Boolean& Incremento);
  std::u16string Text() const;
  void SetText(const std::u16string& text);
  OleColor BackColor() const;
  void SetBackColor(OleColor color);
  Boolean Enabled() const;
  void SetEnabled(Boolean enabled);
  std::shared_ptr<Font> GetFont() const;
  void SetFont(std::shared_ptr<Font> font);
  std::u16string Formato() const;
  void SetFormato(const std::u16string& format);
  OleColor ForeColor() const;
  void SetForeColor(OleColor color);
  std::u16string ToolTipText() const;
  void SetToolTipText(const std::u16string& text);
  Long AnchoMin();
  Integer BorderStyle() const;
  Long hdc() const;
  Boolean Locked() const;
  void SetLocked(Boolean locked);
  Integer MousePointer() const;
  void SetMousePointer(Integer pointer);
  std::shared_ptr<Picture> MouseIcon() const;
  void SetMouseIcon(std::shared_ptr<Picture> icon);
  Long SelLength() const;
  void SetSelLength(Long length);
  Long SelStart() const;
  void SetSelStart(Long start);
  std::u16string SelText() const;
  void SetSelText(const std::u16string& text);

  // Lifecycle notifications of the host.
  void InitProperties();
  void ReadProperties(PropertyBag& bag);
  void WriteProperties(PropertyBag& bag);
  // The saved properties in the order loading and saving take them.
  static std::span<const SavedProperty> SavedProperties();
  void Terminate();
  void AmbientChanged(AmbientProperty property);

 private:
  // Handlers of the constituents' and the surface's events.
  void txtFecha_Change() override;
  void txtFecha_Click() override;
  void txtFecha_DblClick() override;
  void txtFecha_KeyDown(Integer& KeyCode, Integer& Shift) override;
  void txtFecha_KeyPress(Integer& KeyAscii) override;
  void txtFecha_KeyUp(Integer& KeyCode, Integer& Shift) override;
  void txtFecha_LostFocus() override;
  void txtFecha_MouseWheel(bool awayFromUser) override;
  void UpDown1_UpClick() override;
  void UpDown1_DownClick() override;
  void UserControl_MouseMove(Integer& Button, Integer& Shift, Single& X, Single& Y) override;
  void UserControl_MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) override;
  void UserControl_Resize() override;
  // The step that the arrow keys, the spinner and the wheel ask for: CambiaFecha2 forwards or backwards.
  void Step(bool forwards);

  // Stepping the date field under the caret: CambiaFecha finds the unit by position, CambiaFecha2 by
  // the field numbers of the format.
  enum class UnitRule { ByPosition, ByFormat };
  void StepDate(const Boolean& Incremento, UnitRule rule);
  SeparatorPositions SeparatorsOf(const std::u16string& text) const;

  TextBox& txtFecha() const { return surface_.txtFecha(); }
  Spinner& UpDown1() const { return surface_.UpDown1(); }

  Surface& surface_;
  Host& host_;
  const DateServices& dates_;
  Gdi& gdi_;
  // A format as a control keeps it: the standard ones are shared by every control, since most forms use them.
  static std::shared_ptr<const std::u16string> KeptFormat(const std::u16string& format);

  std::shared_ptr<const std::u16string> formato_;
  std::shared_ptr<Picture> mouseIcon_;
};

}  // namespace marelco
