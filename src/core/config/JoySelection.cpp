#include "core/config/JoySelection.h"

#include "core/config/ConfigModel.h"
#include "core/link/IDData.h"

namespace config {

namespace {

constexpr int32_t InputBit4 = 0x10;

// The three kinds of input a type stands for.
enum class InputClass { NotConnected, Analog, Digital };
InputClass ClassOf(int32_t type)
{
    if (type & InputBit4)
        return InputClass::Digital;
    return type == 0 ? InputClass::NotConnected : InputClass::Analog;
}

// Sets a list's entry; the handler runs only when the entry changes. An
// entry the list does not have selects nothing.
template <typename Handler> void Select(int& current, int index, int count, Handler&& handler)
{
    if (index < 0 || index >= count || index == current)
        return;
    current = index;
    handler(index);
}

template <typename Handler> void Check(bool& current, bool on, Handler&& handler)
{
    if (current == on)
        return;
    current = on;
    handler(on);
}

constexpr int PinCount = static_cast<int>(PinNames.size());

} // namespace

std::array<int32_t, JoyWorkingCopy::Count> JoyWorkingCopy::InStoreOrder() const
{
    return {Id, Type, Inversion, NeutralWait, AnalogPin, DigitalPins, DeadBand,
            Neutral, ThMin, ThMax, ErrThMin, ErrThMax, Options, Range};
}

JoyWorkingCopy JoyWorkingCopy::FromStoreOrder(const std::array<int32_t, Count>& v)
{
    JoyWorkingCopy w;
    w.Id = v[0];
    w.Type = v[1];
    w.Inversion = v[2];
    w.NeutralWait = v[3];
    w.AnalogPin = v[4];
    w.DigitalPins = v[5];
    w.DeadBand = v[6];
    w.Neutral = v[7];
    w.ThMin = v[8];
    w.ThMax = v[9];
    w.ErrThMin = v[10];
    w.ErrThMax = v[11];
    w.Options = v[12];
    w.Range = v[13];
    return w;
}

std::array<Key, JoyWorkingCopy::Count> JoyParameterKeys(int input)
{
    if (input == 1)
        return {Key::QVS_JOY_1_ID,      Key::QVS_JOY_1_CONFIG,    Key::QVS_JOY_1_INV,       Key::QVS_JOY1_WAIT,
                Key::QVS_JOY1_AN_INPUT, Key::QVS_JOY1_DGT_INPUT,  Key::QVS_JOY1_DB,         Key::QVS_JOY1_NEUTRAL,
                Key::QVS_JOY1_TH_MIN,   Key::QVS_JOY1_TH_MAX,     Key::QVS_JOY1_ERR_TH_MIN, Key::QVS_JOY1_ERR_TH_MAX,
                Key::QVS_JOY_1_UP,      Key::QVS_JOY_1_RANGE};
    return {Key::QVS_JOY_0_ID,      Key::QVS_JOY_0_CONFIG,    Key::QVS_JOY_0_INV,       Key::QVS_JOY0_WAIT,
            Key::QVS_JOY0_AN_INPUT, Key::QVS_JOY0_DGT_INPUT,  Key::QVS_JOY0_DB,         Key::QVS_JOY0_NEUTRAL,
            Key::QVS_JOY0_TH_MIN,   Key::QVS_JOY0_TH_MAX,     Key::QVS_JOY0_ERR_TH_MIN, Key::QVS_JOY0_ERR_TH_MAX,
            Key::QVS_JOY_0_UP,      Key::QVS_JOY_0_RANGE};
}

JoyWorkingCopy JoyParametersOf(const IDData& table, int input)
{
    const auto keys = JoyParameterKeys(input);
    std::array<int32_t, JoyWorkingCopy::Count> v{};
    for (size_t i = 0; i < keys.size(); ++i)
        if (const CVarData* r = table.Record(keys[i]))
            v[i] = r->DataS.QvsDisplayValueE2;
    return JoyWorkingCopy::FromStoreOrder(v);
}

int SignalRangeIndex(int32_t code)
{
    for (size_t i = 0; i < SignalRanges.size(); ++i)
        if (SignalRanges[i].Code == code)
            return static_cast<int>(i);
    return -1;
}

std::string JoyIncompatibilityText(int pinIndex)
{
    return "INPUT " + PinName(pinIndex) + " IS NOT COMPATIBLE WITH VOLTAGE RANGE " + VoltageRangeNames[1];
}

// ---------------------------------------------------------------------------
// Showing

void JoySelection::Show(int input, const JoyWorkingCopy& loaded)
{
    m_drawing = true;
    m_input = input == 1 ? 1 : 0;
    m_work = loaded;
    m_rememberedType = loaded.Type;
    // The four lists are refilled: nothing selected.
    m_controls.InputType = m_controls.VoltageRange = m_controls.Range = m_controls.Inversion = -1;
    SelectInversion(m_work.Inversion == Code170 ? 0 : 1);
    ShowWorkingCopy();
    m_drawing = false;
}

bool JoySelection::PickEntry(int position)
{
    const CJoyData* e = m_catalogue.At(position);
    if (!e || !Pickable(*e))
        return false;
    m_drawing = true;
    m_work.Id = e->id;
    m_work.Type = e->JConfig_0 & 0xFF;
    m_work.Range = (e->JConfig_0 >> 8) & 0xFF;
    m_work.DigitalPins = e->RConfig_0;
    m_rememberedType = m_work.Type;
    ShowWorkingCopy();
    m_drawing = false;
    return true;
}

void JoySelection::ShowWorkingCopy()
{
    JoyControls& c = m_controls;
    const int32_t t = m_work.Type;
    // The signal range the copy held: the list ends on it.
    const int32_t storedRange = m_work.Range;

    // 1. Input type, reference and signal range.
    c.VoltageRangeEnabled = true;
    if (t == 0) {
        SelectInputType(NotConnectedEntry);
        c.VoltageRangeEnabled = false;
    }
    if ((t & 0xF) != 0) {
        if (t & 1)
            SelectVoltageRange(0);
        else if (t & 2)
            SelectVoltageRange(1);
        if (t & 3) {
            SelectInputType((m_work.Range & 0x8) ? PlcEntry : JoystickEntry);
        } else {
            // No reference bit: a joystick on the first pin, whatever the
            // list showed before (it is refilled below anyway).
            SelectInputType(JoystickEntry);
            c.PinL = -1;
            SelectPinL(1);
        }
    }
    if (t & InputBit4) {
        SelectInputType(DigitalEntry);
        SelectVoltageRange(0);
        c.VoltageRangeEnabled = false;
    }
    SelectRange(SignalRangeIndex(storedRange));
    c.RangeEnabled = !(c.InputType == PlcEntry || c.InputType == DigitalEntry || t == 0);

    // 2. The detail: the entry of the identifier, else the not-used entry.
    const int position = FindJoyID(m_catalogue.Entries, m_work.Id, m_work.Id)[0];
    if (const CJoyData* e = m_catalogue.At(position))
        c.Detail = {DetailKind::Entry, position, e->Code};
    else
        c.Detail = {};

    // 3. Inversion and options.
    SelectInversion(m_work.Inversion == Code170 ? 0 : 1);
    SetDeadManEnable((m_work.Options & 0x01) != 0);
    SetNeutralOnlyTrigger((m_work.Options & 0x10) != 0);
    SetNeutralNeed(m_work.NeutralWait == Code85);

    // 4. Pins.
    ShowPins(t);
}

void JoySelection::ShowPins(int32_t t)
{
    JoyControls& c = m_controls;
    if (t & InputBit4) {
        c.DigitalPinsShown = true;
        c.PinL = c.PinH = -1;
        const int32_t a = m_work.DigitalPins & 0xF;
        SelectPinL(a == 0 ? 0 : PinIndexFromCode(a));
        const int32_t b = (m_work.DigitalPins & 0xF0) / 16;
        SelectPinH(m_work.DigitalPins < 16 ? 0 : PinIndexFromCode(b));
        return;
    }
    c.DigitalPinsShown = false;
    c.PinL = -1;
    if ((t & 0xF) == 0)
        m_work.AnalogPin = 0;
    const int32_t pin = m_work.AnalogPin;
    SelectPinL(pin >= 1 && pin <= 8 ? PinIndexFromCode(pin) : 0);
    m_work.DigitalPins = 0;
}

// A change of input kind by the user: the pins are shown again for the new
// kind, so that the lists always show what "OK" will store (the pin chosen
// so far moves with it). A digital input has no analog reference.
void JoySelection::FollowInputClass(int32_t previousType)
{
    const InputClass before = ClassOf(previousType);
    const InputClass now = ClassOf(m_work.Type);
    if (m_drawing || before == now)
        return;
    if (now == InputClass::Digital) {
        if ((m_work.DigitalPins & 0xF) == 0)
            m_work.DigitalPins = (m_work.DigitalPins & ~0xF) | (m_work.AnalogPin & 0xF);
        m_controls.VoltageRangeEnabled = false;
    } else if (now == InputClass::Analog && m_work.AnalogPin == 0) {
        m_work.AnalogPin = m_work.DigitalPins & 0xF;
    }
    ShowPins(m_work.Type);
}

// ---------------------------------------------------------------------------
// Selections

void JoySelection::SelectInputType(int index)
{
    Select(m_controls.InputType, index, static_cast<int>(InputTypeNames.size()),
           [this](int i) { InputTypeChosen(i); });
}

void JoySelection::SelectVoltageRange(int index)
{
    Select(m_controls.VoltageRange, index, static_cast<int>(VoltageRangeNames.size()),
           [this](int i) { VoltageRangeChosen(i); });
}

void JoySelection::SelectRange(int index)
{
    Select(m_controls.Range, index, static_cast<int>(SignalRanges.size()), [this](int i) { RangeChosen(i); });
}

void JoySelection::SelectPinL(int index)
{
    Select(m_controls.PinL, index, PinCount, [this](int i) { PinLChosen(i); });
}

void JoySelection::SelectPinH(int index)
{
    Select(m_controls.PinH, index, PinCount, [this](int i) { PinHChosen(i); });
}

void JoySelection::SelectInversion(int index)
{
    Select(m_controls.Inversion, index, static_cast<int>(InversionNames.size()),
           [this](int i) { InversionChosen(i); });
}

void JoySelection::SetDeadManEnable(bool on)
{
    Check(m_controls.DeadManEnable, on,
          [this](bool b) { m_work.Options = b ? (m_work.Options | 0x01) : (m_work.Options & ~0x01); });
}

void JoySelection::SetNeutralOnlyTrigger(bool on)
{
    Check(m_controls.NeutralOnlyTrigger, on,
          [this](bool b) { m_work.Options = b ? (m_work.Options | 0x10) : (m_work.Options & ~0x10); });
}

void JoySelection::SetNeutralNeed(bool on)
{
    Check(m_controls.NeutralNeed, on, [this](bool b) { m_work.NeutralWait = b ? Code85 : Code170; });
}

// ---------------------------------------------------------------------------
// Handlers

void JoySelection::InputTypeChosen(int index)
{
    JoyControls& c = m_controls;
    const int32_t previousType = m_work.Type;
    c.RangeEnabled = true;
    c.VoltageRangeEnabled = true;
    const auto customUnless = [&](int32_t id) {
        if (m_work.Id != id)
            c.Detail = {DetailKind::Custom, -1, "CUSTOM"};
    };
    switch (index) {
    case NotConnectedEntry:
        m_work.Type = 0;
        SelectRange(0);
        c.RangeEnabled = false;
        c.VoltageRangeEnabled = false;
        c.Detail = {DetailKind::NotUsed, -1, "NOT USED"};
        break;
    case JoystickEntry:
        m_work.Type = 3;
        SelectRange(0);
        customUnless(GenericJoystickId);
        break;
    case PlcEntry:
        m_work.Type = 3;
        c.RangeEnabled = false;
        SelectRange(2);
        customUnless(PlcJoyId);
        break;
    case DigitalEntry:
        m_work.Type = InputDigital;
        SelectRange(0);
        c.RangeEnabled = false;
        customUnless(DigitalJoyId);
        break;
    default:
        return;
    }
    FollowInputClass(previousType);
}

void JoySelection::VoltageRangeChosen(int index)
{
    if (m_work.Type != InputDigital)
        m_work.Type = index == 0 ? 1 : 2;
    const int L = m_controls.PinL;
    if (((L == 1 || L == 2) && index != 0) || ((L == 3 || L == 4) && index != 1))
        m_controls.Detail = {DetailKind::Custom, -1, "CUSTOM"};
}

void JoySelection::RangeChosen(int index) { m_work.Range = SignalRanges[static_cast<size_t>(index)].Code; }

void JoySelection::PinLChosen(int index)
{
    m_work.DigitalPins &= ~0xF;
    m_work.AnalogPin = 0;
    if (index > 0) {
        const int32_t code = PinCodeFromIndex(index);
        if (m_work.Type & InputBit4)
            m_work.DigitalPins += code;
        else
            m_work.AnalogPin = code;
    }
}

void JoySelection::PinHChosen(int index)
{
    m_work.DigitalPins &= ~0xF0;
    if ((m_work.Type & InputBit4) && index > 0)
        m_work.DigitalPins += 16 * PinCodeFromIndex(index);
}

void JoySelection::InversionChosen(int index) { m_work.Inversion = index == 0 ? Code170 : Code85; }

// ---------------------------------------------------------------------------
// Check and collection

std::string JoySelection::CheckData() const
{
    const JoyControls& c = m_controls;
    // The reference only applies to an analog input (joystick or PLC).
    const bool analog = c.InputType == JoystickEntry || c.InputType == PlcEntry;
    if (analog && c.PinL > 0 && c.PinL < 3 && c.VoltageRange == 1)
        return JoyIncompatibilityText(c.PinL);
    return {};
}

JoyWorkingCopy JoySelection::Collect()
{
    const JoyControls& c = m_controls;
    int32_t type = 0;
    if (c.InputType == JoystickEntry || c.InputType == PlcEntry)
        type = InputAnalog;
    else if (c.InputType == DigitalEntry)
        type = InputDigital;
    if (type == InputAnalog && c.VoltageRange == 0)
        type = 1;
    else if (type == InputAnalog && c.VoltageRange == 1)
        type = 2;
    m_work.Type = type;

    if (c.Range >= 0 && c.Range < static_cast<int>(SignalRanges.size())) {
        const SignalRange& r = SignalRanges[static_cast<size_t>(c.Range)];
        m_work.Neutral = r.Neutral;
        m_work.DeadBand = r.DeadBand;
        m_work.ThMin = r.ThMin;
        m_work.ThMax = r.ThMax;
        m_work.ErrThMin = r.ErrThMin;
        m_work.ErrThMax = r.ErrThMax;
        m_work.Range = r.Code;
    }
    if (type != m_rememberedType)
        m_work.Id = CustomJoyId;
    if (c.InputType == NotConnectedEntry || c.InputType < 0) {
        m_work.Type = 0;
        m_work.Id = m_catalogue.NotUsedId;
    }
    return m_work;
}

std::string StoredJoyCheckData(const IDData& table)
{
    std::string text;
    for (int n = 0; n < 2; ++n) {
        const JoyWorkingCopy w = JoyParametersOf(table, n);
        const int32_t t = w.Type;
        // The reference the dialog shows for the type: bit 0 regulated, else bit 1 battery.
        const bool battery = (t & InputBit4) == 0 && (t & 0x1) == 0 && (t & 0x2) != 0;
        const int L = w.AnalogPin >= 1 && w.AnalogPin <= 8 ? PinIndexFromCode(w.AnalogPin) : 0;
        if (battery && L > 0 && L < 3) {
            if (!text.empty())
                text += "\r";
            text += JoyIncompatibilityText(L);
        }
    }
    return text;
}

} // namespace config
