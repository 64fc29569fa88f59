#include "toolbar/FCustomizeToolbar.h"

#include <algorithm>

#include "frame/Captions.h"
#include "frame/HostServices.h"
#include "platform/CommandBars.h"
#include "platform/Error.h"
#include "platform/EventLoop.h"
#include "platform/Presenter.h"
#include "platform/Units.h"
#include "progress/XStatusBar.h"
#include "toolbar/ToolbarIcons.h"
#include "toolbar/XTgToolbar.h"

namespace tavixTGCL2 {

namespace {

// Thumbnails exist for these controls; the list shows them at this size.
constexpr std::int32_t kThumbnailIds[] = {101, 102, 103, 201, 202, 301, 302, 401, 600};
constexpr std::int32_t kThumbnailSize = 16;
// The controls whose captions the selective text-label look shows.
constexpr std::int32_t kCaptionedIds[] = {ID_TGTBAR_NEXT, ID_TGTBAR_START, ID_TGTBAR_NA, ID_TGTBAR_SKIP};

std::string thumbnailKey(std::int32_t id) { return "::" + std::to_string(id); }

// The list draws its images over its own background: blend the icon's
// alpha into that colour so the thumbnail needs no mask.
Surface blended(const Icon& icon, Pixel background) {
    Surface s(icon.width, icon.height, background);
    if (s.isEmpty()) return s;
    for (std::int32_t y = 0; y < icon.height; ++y)
        for (std::int32_t x = 0; x < icon.width; ++x) {
            const std::uint32_t p = icon.pixels[static_cast<std::size_t>(y * icon.width + x)];
            const std::uint32_t a = p >> 24;
            auto mix = [&](int shift) {
                const std::uint32_t f = (p >> shift) & 0xFF, b = (background >> shift) & 0xFF;
                return ((f * a + b * (255 - a) + 127) / 255) << shift;
            };
            s.setPixel(x, y, 0xFF000000u | mix(16) | mix(8) | mix(0));
        }
    return s;
}

// Drawn again at the screen's device size as well, so a list shown at a
// ratio above 1 is as sharp as the toolbar.
PicturePtr thumbnail(std::int32_t id, Pixel background) {
    Surface s = blended(ToolbarIcons::draw(id, kThumbnailSize), background);
    if (s.isEmpty()) return nullptr;
    PicturePtr pic = Picture::bitmap(std::move(s));
    const double ratio = Screen::devicePixelRatio();
    if (ratio <= 1.0) return pic;
    return Picture::withDevicePixels(pic, blended(ToolbarIcons::draw(id, Screen::toDevice(kThumbnailSize, ratio)), background),
                                     ratio);
}

bool hasNoBackTag(const Control& c) {
    return c.Tag.type() == Variant::Type::String && c.Tag.toString() == FCustomizeToolbar::kNoBackTag;
}

void givePageColor(Control& c) {
    for (auto& child : c.Children()) {
        resumeNext([&] {
            if (!hasNoBackTag(*child)) child->setBackColor(FCustomizeToolbar::kPageColor);
        });
        givePageColor(*child);
    }
}

std::int32_t sizeIndexOfIconWidth(std::int32_t width) {
    switch (width) {
        case 24: return etgButtonSizeSmall;
        case 32: return etgButtonSizeMedium;
        case 48: return etgButtonSizeLarge;
        default: return -1;
    }
}

// The toolbar's parent when that is a form, else the nearest form up the
// chain; pending events run before each step up, as a window search lets
// messages through. nullptr when the chain holds no form.
Control* ownerFormOf(XTgToolbar& xtg) {
    Control* c = xtg.Parent();
    while (c) {
        if (dynamic_cast<Form*>(c)) return c;
        // Pending events may drop a container; keep the one in hand alive.
        std::shared_ptr<Control> hold = c->weak_from_this().lock();
        resumeNext([] { EventLoop::current().processPending(); });
        c = c->Parent();
    }
    return nullptr;
}

// Twips: the dialog is laid out on the 15-twips-per-pixel grid.
void place(Control& c, std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) {
    c.moveTwips(l * 15, t * 15, w * 15, h * 15);
}

}  // namespace

FCustomizeToolbar::FCustomizeToolbar(std::string name) : Form(std::move(name)) {
    createControls();
    connectEvents();
}

FCustomizeToolbar::~FCustomizeToolbar() = default;

void FCustomizeToolbar::createControls() {
    setCaption("270::Customize Toolbar");
    place(*this, 0, 0, 372, 398);

    m_tab = create<TabControl>("tabCustomize");
    m_tab->Tag = kNoBackTag;
    place(*m_tab, 8, 8, 356, 346);
    m_pages[0] = m_tab->create<Control>("Frame", "fraPage(0)");
    m_pages[1] = m_tab->create<Control>("Frame", "fraPage(1)");
    for (auto& p : m_pages) place(*p, 4, 24, 348, 318);

    // Button style page.
    Control& style = *m_pages[0];
    m_fraButtonSize = style.create<Control>("Frame", "fraButtonSize");
    m_fraButtonSize->setCaption("292::Button size");
    place(*m_fraButtonSize, 8, 8, 332, 52);
    const char* sizes[] = {"272::Small", "273::Medium", "274::Large"};
    for (std::int32_t i = 0; i < 3; ++i) {
        auto& o = m_optButtonSize[static_cast<std::size_t>(i)];
        o = m_fraButtonSize->create<OptionButton>("optButtonSize(" + std::to_string(i) + ")");
        o->setCaption(sizes[i]);
        o->Tag = i;  // the ETgToolbarButtonSize value
        place(*o, 12 + 104 * i, 22, 96, 20);
    }

    m_fraLabels = style.create<Control>("Frame", "fraLabels");
    m_fraLabels->setCaption("275::Text labels");
    place(*m_fraLabels, 8, 68, 332, 84);
    const char* labels[] = {"276::None", "277::Selective text on right", "278::All labels"};
    for (std::int32_t i = 0; i < 3; ++i) {
        auto& o = m_optLabels[static_cast<std::size_t>(i)];
        o = m_fraLabels->create<OptionButton>("optLabels(" + std::to_string(i) + ")");
        o->setCaption(labels[i]);  // the index is the ETgToolbarTextLabels value
        place(*o, 12, 20 + 20 * i, 300, 20);
    }

    m_fraStyle = style.create<Control>("Frame", "fraStyle");
    m_fraStyle->setCaption("279::Toolbar color");
    place(*m_fraStyle, 8, 160, 332, 52);
    m_optStyle[0] = m_fraStyle->create<OptionButton>("optStyle(0)");
    m_optStyle[0]->setCaption("281::Windows XP");
    m_optStyle[0]->Tag = static_cast<std::int32_t>(etgWindowsXP);
    m_optStyle[1] = m_fraStyle->create<OptionButton>("optStyle(1)");
    m_optStyle[1]->setCaption("280::Office 2003");
    m_optStyle[1]->Tag = static_cast<std::int32_t>(etgOffice2003);
    place(*m_optStyle[0], 12, 22, 150, 20);
    place(*m_optStyle[1], 170, 22, 150, 20);

    m_chkFade = style.create<CheckBox>("chkFade");
    m_chkFade->setCaption("282::Dimmed buttons");
    place(*m_chkFade, 16, 224, 300, 20);

    // Button position page.
    Control& position = *m_pages[1];
    m_lblScheme = position.create<Label>("lblScheme");
    m_lblScheme->setCaption("289::Toolbar scheme:");
    place(*m_lblScheme, 8, 12, 104, 16);
    m_cboScheme = position.create<ComboBox>("cboScheme");
    m_cboScheme->Tag = kNoBackTag;
    place(*m_cboScheme, 116, 8, 224, 21);

    m_lvwButtons = position.create<ListView>("lvwButtons");
    m_lvwButtons->Tag = kNoBackTag;
    m_lvwButtons->setView(3);  // report: one column of captions with small icons
    m_lvwButtons->setBorderPixels(2);
    place(*m_lvwButtons, 8, 38, 216, 272);
    m_lvwButtons->addColumn("", 0);
    ListView::ImageList thumbnails;
    const Pixel listBack = pixelFromColorRef(OleTranslateColor(m_lvwButtons->BackColor()));
    for (std::int32_t id : kThumbnailIds)
        if (auto pic = thumbnail(id, listBack)) thumbnails[thumbnailKey(id)] = pic;
    m_lvwButtons->setSmallIcons(std::move(thumbnails));

    auto button = [](Control& parent, const char* name, const char* caption, std::int32_t l, std::int32_t t,
                     std::int32_t w) {
        auto b = parent.create<CommandButton>(name);
        b->setCaption(caption);
        b->Tag = kNoBackTag;
        place(*b, l, t, w, 25);
        return b;
    };
    m_cmdUp = button(position, "cmdUp", "284::Move &Up", 232, 38, 108);
    m_cmdDown = button(position, "cmdDown", "285::Move &Down", 232, 68, 108);
    m_cmdAddSep = button(position, "cmdAddSep", "286::&Add Separator", 232, 98, 108);
    m_cmdRestore = button(position, "cmdRestore", "293::&Restore", 232, 285, 108);
    m_cmdOk = button(*this, "cmdOk", "1::&Ok", 196, 362, 80);
    m_cmdOk->setDefault(true);
    m_cmdCancel = button(*this, "cmdCancel", "2::&Cancel", 284, 362, 80);
    m_cmdCancel->setCancel(true);
    for (auto* b : {m_cmdUp.get(), m_cmdDown.get(), m_cmdAddSep.get()}) b->setEnabled(false);
}

void FCustomizeToolbar::connectEvents() {
    Load.connect([this] { Form_Load(); });
    Activate.connect([this] { resumeNext([&] { setTopMost(true); }); });
    QueryUnload.connect([this](std::int16_t& cancel, std::int16_t mode) { Form_QueryUnload(cancel, mode); });
    for (std::int32_t i = 0; i < 3; ++i) {
        m_optButtonSize[static_cast<std::size_t>(i)]->Click.connect([this, i] { optButtonSize_Click(i); });
        m_optLabels[static_cast<std::size_t>(i)]->Click.connect([this, i] { optLabels_Click(i); });
    }
    for (std::int32_t i = 0; i < 2; ++i)
        m_optStyle[static_cast<std::size_t>(i)]->Click.connect([this, i] { optStyle_Click(i); });
    m_chkFade->Click.connect([this] { chkFade_Click(); });
    m_tab->SelectedChanged.connect([this](std::int32_t i) { tabCustomize_SelectedChanged(i); });
    m_lvwButtons->ItemClick.connect([this](std::int32_t i) { lvwButtons_ItemClick(i); });
    m_cmdAddSep->Click.connect([this] { cmdAddSep_Click(); });
    m_cmdUp->Click.connect([this] { cmdUp_Click(); });
    m_cmdDown->Click.connect([this] { cmdDown_Click(); });
    m_cboScheme->Click.connect([this] { cboScheme_Click(); });
    m_cmdRestore->Click.connect([this] { cmdRestore_Click(); });
    m_cmdOk->Click.connect([this] { cmdOk_Click(); });
    m_cmdCancel->Click.connect([this] { cmdCancel_Click(); });
}

// --- opening -------------------------------------------------------------------

void FCustomizeToolbar::Open(XTgToolbar& xtg) {
    std::shared_ptr<FCustomizeToolbar> dlg;
    const bool loaded = stopOnError([&] {
        dlg = std::make_shared<FCustomizeToolbar>();
        dlg->load();
    });
    if (loaded) {
        Control* owner = nullptr;
        resumeNext([&] { owner = ownerFormOf(xtg); });
        stopOnError([&] {
            dlg->Initialize(xtg);
            dlg->show(true, owner);
            if (!dlg->Cancel()) xtg.SaveToolbarLayout();
        });
    }
    // Still bound here only after a failure; unloading then cancels.
    if (dlg) resumeNext([&] { dlg->unload(); });
    resumeNext([&] { xtg.CommandBarsControl().RecalcLayout(); });
}

void FCustomizeToolbar::Form_Load() {
    resumeNext([&] {
        m_tab->insertItem(0, "271::Button Style");
        m_tab->insertItem(1, "283::Button Position");
    });
    resumeNext([&] { tabCustomize_SelectedChanged(m_tab->selectedItem()); });
    resumeNext([&] { givePageColor(*this); });
    resumeNext([&] { m_lvwButtons->setColumnWidth(1, std::max(0, m_lvwButtons->Width() - kColumnMargin)); });
    translateForm(*this);
    // The scheme's list index is the scheme: an entry lost with its text
    // would shift the other one.
    resumeNext([&] { m_cboScheme->AddItem(translatedText("290::Default")); });
    resumeNext([&] { m_cboScheme->AddItem(translatedText("291::Right to left")); });
}

void FCustomizeToolbar::Form_QueryUnload(std::int16_t&, std::int16_t) {
    // Still bound means closed neither with OK nor with Cancel (the window
    // frame, or the host closing): that leaves nothing to keep, so it is a
    // Cancel.
    if (m_xtg) cmdCancel_Click();
}

void FCustomizeToolbar::tabCustomize_SelectedChanged(std::int32_t index) {
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        resumeNext([&] { m_pages[i]->setVisible(static_cast<std::int32_t>(i) == index); });
}

// --- binding ---------------------------------------------------------------------

void FCustomizeToolbar::Initialize(XTgToolbar& xtg) {
    m_fInitialising = true;
    stopOnError([&] {
        if (m_xtg != &xtg) {
            m_xtg = &xtg;
            CaptureOpeningState();
        }
        const std::int32_t size = xtg.ButtonSize();
        for (auto& o : m_optButtonSize) o->setValue(false);
        for (auto& o : m_optButtonSize)
            if (o->Tag.toInt32() == size) o->setValue(true);
        const std::int32_t theme = xtg.VisualStyle();
        for (auto& o : m_optStyle) o->setValue(false);
        for (auto& o : m_optStyle)
            if (o->Tag.toInt32() == theme) o->setValue(true);
        m_chkFade->setValue(xtg.FadedIcons() ? 1 : 0);
        const std::int32_t labels = xtg.TextLabels();
        for (std::size_t i = 0; i < m_optLabels.size(); ++i)
            m_optLabels[i]->setValue(static_cast<std::int32_t>(i) == labels);
        FillButtonList();
    });
    m_fInitialising = false;
}

void FCustomizeToolbar::CaptureOpeningState() {
    m_opening = OpeningState{};
    XTgToolbar& tb = *m_xtg;
    resumeNext([&] { m_opening.layout = tb.ButtonLayout(); });
    resumeNext([&] { m_opening.buttonSize = tb.ButtonSize(); });
    resumeNext([&] {
        m_opening.iconWidth = tb.Bar()->IconWidth();
        m_opening.iconHeight = tb.Bar()->IconHeight();
    });
    resumeNext([&] { m_opening.allCaptions = tb.Bar()->ShowTextBelowIcons(); });
    for (std::size_t i = 0; i < m_opening.captionStyles.size(); ++i) {
        m_opening.captionStyles[i] = -1;  // not captured: left alone on restore
        // Start is missing while the bar is between its two forms.
        resumeNext([&] {
            m_opening.captionStyles[i] = required(tb.Bar()->Controls().Find(0, kCaptionedIds[i]), "control").Style();
        });
    }
    resumeNext([&] { m_opening.visualStyle = tb.VisualStyle(); });
    resumeNext([&] { m_opening.fadedIcons = tb.FadedIcons(); });
}

void FCustomizeToolbar::RestoreOpeningState() {
    XTgToolbar& tb = *m_xtg;
    const OpeningState& s = m_opening;
    auto bar = tb.Bar();
    resumeNext([&] {
        if (!s.layout.empty() && tb.ButtonLayout() != s.layout) tb.ApplyButtonLayout(s.layout);
    });
    resumeNext([&] {
        if (tb.ButtonSize() != s.buttonSize) tb.setButtonSize(s.buttonSize);
    });
    // The remembered size may not be the bar's (nothing set yet): put the
    // icons and the status bar's size back as they were seen.
    resumeNext([&] {
        if (s.iconWidth <= 0 || (bar->IconWidth() == s.iconWidth && bar->IconHeight() == s.iconHeight)) return;
        bar->SetIconSize(s.iconWidth, s.iconHeight);
        if (std::int32_t index = sizeIndexOfIconWidth(s.iconWidth); index >= 0)
            tb.StatusControl().ApplyButtonSize(index);
    });
    // Text labels are what these styles are: restoring them restores it.
    resumeNext([&] {
        if (bar->ShowTextBelowIcons() != s.allCaptions) bar->setShowTextBelowIcons(s.allCaptions);
    });
    for (std::size_t i = 0; i < s.captionStyles.size(); ++i)
        resumeNext([&] {
            if (s.captionStyles[i] < 0) return;
            auto c = bar->Controls().Find(0, kCaptionedIds[i]);
            if (c && c->Style() != s.captionStyles[i]) c->setStyle(s.captionStyles[i]);
        });
    resumeNext([&] {
        if (tb.VisualStyle() != s.visualStyle) tb.setVisualStyle(s.visualStyle);
    });
    resumeNext([&] {
        if (tb.FadedIcons() != s.fadedIcons) tb.setFadedIcons(s.fadedIcons);
    });
    resumeNext([&] { tb.CommandBarsControl().RecalcLayout(); });
}

// --- style page ----------------------------------------------------------------------

void FCustomizeToolbar::optButtonSize_Click(std::int32_t index) {
    if (m_fInitialising || !m_xtg) return;
    resumeNext([&] { m_xtg->setButtonSize(m_optButtonSize[static_cast<std::size_t>(index)]->Tag.toInt32()); });
}

void FCustomizeToolbar::optLabels_Click(std::int32_t index) {
    if (m_fInitialising || !m_xtg) return;
    resumeNext([&] { m_xtg->setTextLabels(index); });
}

void FCustomizeToolbar::optStyle_Click(std::int32_t index) {
    if (m_fInitialising || !m_xtg) return;
    resumeNext([&] { m_xtg->setVisualStyle(m_optStyle[static_cast<std::size_t>(index)]->Tag.toInt32()); });
    // A theme may switch faded icons; show what the bar has now.
    m_fSyncingFade = true;
    resumeNext([&] { m_chkFade->setValue(m_xtg->FadedIcons() ? 1 : 0); });
    m_fSyncingFade = false;
}

void FCustomizeToolbar::chkFade_Click() {
    if (m_fInitialising || m_fSyncingFade || !m_xtg) return;
    resumeNext([&] { m_xtg->setFadedIcons(m_chkFade->Value() == 1); });
}

// --- position page ---------------------------------------------------------------------

bool FCustomizeToolbar::isSeparator(std::int32_t index) const {
    return m_lvwButtons->item(index).Tag.toInt32() == 0;
}

std::int32_t FCustomizeToolbar::entryId(std::int32_t index) const { return m_lvwButtons->item(index).Tag.toInt32(); }

namespace {
std::shared_ptr<CommandBarControl> barControl(XTgToolbar& tb, std::int32_t id) {
    auto c = tb.Bar()->Controls().Find(0, id);
    if (!c) throw Error(errInvalidProperty, "no control " + std::to_string(id) + " in the bar");
    return c;
}

// The entry shares its statement with the control entry after it: its
// text must not be able to fail.
ListItem separatorEntry(SourceSite where = SourceSite::current()) {
    ListItem entry;
    entry.Text = translatedText("288::Separator", {}, where);
    entry.Tag = std::int32_t{0};
    return entry;
}

ListItem controlEntry(const CommandBarControl& c) {
    ListItem entry;
    entry.Text = c.Caption();
    entry.SmallIcon = thumbnailKey(c.Id());
    entry.Tag = c.Id();
    return entry;
}
}  // namespace

void FCustomizeToolbar::FillButtonList() {
    resumeNext([&] { m_lvwButtons->clear(); });
    if (m_xtg) {
        std::shared_ptr<CommandBar> bar;
        std::int32_t count = 0;
        resumeNext([&] {
            bar = m_xtg->Bar();
            count = bar->Controls().Count();
        });
        for (std::int32_t i = 1; i <= count; ++i)
            resumeNext([&] {
                auto c = bar->Controls().Item(i);
                if (!c->Visible()) return;
                if (c->BeginGroup()) m_lvwButtons->addItem(separatorEntry());
                m_lvwButtons->addItem(controlEntry(*c));
            });
    }
    resumeNext([&] { m_lvwButtons->setSelectedIndex(0); });
    UpdateListButtons();
}

void FCustomizeToolbar::lvwButtons_ItemClick(std::int32_t) { UpdateListButtons(); }

void FCustomizeToolbar::UpdateListButtons() {
    std::int32_t sel = 0, count = 0;
    resumeNext([&] {
        sel = m_lvwButtons->selectedIndex();
        count = m_lvwButtons->count();
    });
    if (sel < 1 || sel > count) {
        // Nothing to act on.
        for (auto* b : {m_cmdUp.get(), m_cmdDown.get(), m_cmdAddSep.get()}) resumeNext([&] { b->setEnabled(false); });
        return;
    }
    resumeNext([&] { m_cmdUp->setEnabled(sel > 1); });
    resumeNext([&] { m_cmdDown->setEnabled(sel < count); });
    bool separator = false;
    resumeNext([&] { separator = isSeparator(sel); });
    if (separator) {
        resumeNext([&] { m_cmdAddSep->setCaption(translatedText("287::&Remove Separator")); });
        resumeNext([&] { m_cmdAddSep->setEnabled(true); });
    } else {
        resumeNext([&] { m_cmdAddSep->setCaption(translatedText("286::&Add Separator")); });
        // The bar draws no separator before its first control, so the first
        // entry gets none either.
        resumeNext([&] { m_cmdAddSep->setEnabled(sel > 1 && !isSeparator(sel - 1)); });
    }
}

void FCustomizeToolbar::cmdAddSep_Click() {
    if (!m_xtg) return;
    stopOnError([&] {
        const std::int32_t sel = m_lvwButtons->selectedIndex();
        if (sel < 1) return;
        if (!isSeparator(sel)) {
            if (sel == 1 || isSeparator(sel - 1)) return;
            auto control = barControl(*m_xtg, entryId(sel));
            m_lvwButtons->addItem(separatorEntry(), sel);
            m_lvwButtons->setSelectedIndex(sel);
            control->setBeginGroup(true);
        } else {
            const bool separatorBefore = sel > 1 && isSeparator(sel - 1);
            m_lvwButtons->removeItem(sel);
            const std::int32_t count = m_lvwButtons->count();
            if (sel <= count && !isSeparator(sel)) barControl(*m_xtg, entryId(sel))->setBeginGroup(separatorBefore);
            m_lvwButtons->setSelectedIndex(std::min(sel, count));
        }
        ForgetScheme();
        RedrawBar();
        UpdateListButtons();
    });
}

void FCustomizeToolbar::MoveEntry(std::int32_t step) {
    if (!m_xtg) return;
    stopOnError([&] {
        const std::int32_t sel = m_lvwButtons->selectedIndex();
        const std::int32_t target = sel + step;
        if (sel < 1 || target < 1 || target > m_lvwButtons->count()) return;
        if (!isSeparator(sel) && !isSeparator(target)) {
            // To the neighbour's place rather than one bar position along:
            // the same when every control is listed, and still right when a
            // hidden control sits between the two.
            m_xtg->MoveControl(entryId(sel), barControl(*m_xtg, entryId(target))->Index());
        }
        ListItem moving = m_lvwButtons->item(sel);
        m_lvwButtons->removeItem(sel);
        m_lvwButtons->addItem(std::move(moving), target);
        m_lvwButtons->setSelectedIndex(target);
        m_lvwButtons->ensureVisible(target);
        ApplyGroupsFromList();
        ForgetScheme();
        RedrawBar();
        // The operator goes on with the arrow keys in the list; given first,
        // the focus never passes through a button about to be disabled.
        m_lvwButtons->SetFocus();
        // Move Up must not stay enabled on the first entry, nor Move Down on
        // the last.
        UpdateListButtons();
    });
}

void FCustomizeToolbar::ApplyGroupsFromList() {
    const std::int32_t count = m_lvwButtons->count();
    for (std::int32_t i = 1; i <= count; ++i) {
        if (isSeparator(i)) continue;
        const bool group = i > 1 && isSeparator(i - 1);
        auto c = barControl(*m_xtg, entryId(i));
        if (c->BeginGroup() != group) c->setBeginGroup(group);
    }
}

void FCustomizeToolbar::RedrawBar() {
    m_xtg->CommandBarsControl().RecalcLayout();
    m_xtg->Bar()->RedrawBar();
}

void FCustomizeToolbar::ForgetScheme() {
    // A cleared selection raises Click too; the handler ignores it.
    resumeNext([&] {
        if (m_cboScheme->ListIndex() >= 0) m_cboScheme->setListIndex(-1);
    });
}

void FCustomizeToolbar::cboScheme_Click() {
    if (!m_xtg) return;
    const std::int32_t index = m_cboScheme->ListIndex();
    if (index == 0) resumeNext([&] { m_xtg->ApplyButtonLayout(XTgToolbar::kDefaultLayout); });
    else if (index == 1) resumeNext([&] { m_xtg->ApplyButtonLayout(XTgToolbar::kRightToLeftLayout); });
    else return;
    FillButtonList();
}

void FCustomizeToolbar::cmdRestore_Click() {
    if (!m_xtg) return;
    std::int32_t answer = vbNo;
    resumeNext([&] {
        answer = presenter().messageBox(
            translatedText("294::Do you want to restore the toolbar to default settings and undo cusomtization?"),
            vbYesNo | vbQuestion, Caption());
    });
    if (answer != vbYes) return;
    resumeNext([&] { m_xtg->setButtonSize(etgButtonSizeMedium); });
    resumeNext([&] { m_xtg->setTextLabels(etgLabelsSelective); });
    resumeNext([&] { m_xtg->setVisualStyle(static_cast<std::int32_t>(etgOffice2003)); });
    resumeNext([&] { m_xtg->ApplyButtonLayout(XTgToolbar::kDefaultLayout); });
    ForgetScheme();
    Initialize(*m_xtg);
}

// --- closing -----------------------------------------------------------------------------

void FCustomizeToolbar::cmdOk_Click() {
    m_fCancel = false;
    m_xtg = nullptr;
    resumeNext([&] { hide(); });
}

void FCustomizeToolbar::cmdCancel_Click() {
    m_fCancel = true;
    if (m_xtg) {
        // Stored settings are what Cancel returns to; without any, the bar
        // goes back to how the dialog found it, or Cancel would keep every
        // change.
        if (XTgToolbar::HasStoredLayout()) resumeNext([&] { m_xtg->LoadToolbarLayout(); });
        else RestoreOpeningState();
    }
    m_xtg = nullptr;
    resumeNext([&] { hide(); });
}

}  // namespace tavixTGCL2
