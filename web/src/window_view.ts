// Draws a window snapshot: side bar, document header, the current page's frames, the navigation
// bars, and on top of them a pending message box, lookup list or print sheet. While a box or a
// list is open the window behind it takes no input.

import { h, memo } from "./dom.js";
import type { WindowSnapshot } from "./protocol.js";
import { render, type Kind, type RenderContext, type RenderedKinds } from "./renderers.js";
import "./controls.js";
import "./frame.js";
import { forgetGrids } from "./grid.js";
import "./sidebar.js";
import "./navigator.js";
import "./message_box.js";
import "./lookup.js";
import "./print_sheet.js";
import "./media.js";
import "./history.js";

// The parts last drawn, by their identifying attribute: those on screen, and a page's frames kept
// when another page came, so that going back to a page shows its elements again instead of
// building them.
const partAttributes = ["data-sidebar", "data-frame", "data-gridnav-bar"];
const partSelector = partAttributes.map((attribute) => `[${attribute}]`).join(", ");
const drawnParts = new Map<string, Element>();

function partKey(attribute: string, name: string): string {
    return `${attribute}=${name}`;
}

// Called with the window on screen after each drawing; without one, forgets them all.
export function rememberParts(shown: Element | null): void {
    if (!shown) {
        drawnParts.clear();
        forgetGrids();
        return;
    }
    // A grid's rows hold no parts: the walk does not go into them.
    const walker = document.createTreeWalker(shown, NodeFilter.SHOW_ELEMENT, (node) =>
        (node as Element).hasAttribute("data-grid") ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT,
    );
    const found: Element[] = [];
    for (let node = walker.nextNode(); node !== null; node = walker.nextNode()) {
        if ((node as Element).matches(partSelector)) {
            found.push(node as Element);
        }
    }
    for (const element of found) {
        for (const attribute of partAttributes) {
            const name = element.getAttribute(attribute);
            if (name !== null) {
                drawnParts.set(partKey(attribute, name), element);
            }
        }
    }
}

// A part drawn from the same state as the one last drawn for it (on screen in `shown`, which the
// result will be patched into, or put aside) is not built again.
function part<K extends Kind>(
    kind: K,
    state: RenderedKinds[K],
    context: RenderContext,
    shown: Element | null,
    attribute: string,
    name: string,
): HTMLElement {
    const drawn = shown ? (drawnParts.get(partKey(attribute, name)) ?? null) : null;
    return memo(drawn, state, () => render(kind, state, context));
}

// Draws the window; with `shown`, the result is only good for patching `shown` with it.
export function renderWindow(
    snapshot: WindowSnapshot,
    context: RenderContext,
    shown: Element | null = null,
): HTMLElement {
    const body = h("div", { class: "window-body" });
    if (snapshot.sideBar) {
        body.append(part("sideBar", snapshot.sideBar, context, shown, "data-sidebar", snapshot.sideBar.name));
    }
    const page = h("div", { class: "window-page" });
    if (snapshot.header) {
        const header = part("frame", snapshot.header, context, shown, "data-frame", snapshot.header.name);
        page.append(h("div", { class: "window-header" }, header));
    }
    if (snapshot.page) {
        page.append(h("h3", { class: "page-title", "data-page": snapshot.page.key }, snapshot.page.title));
        for (const frame of snapshot.page.frames) {
            page.append(part("frame", frame, context, shown, "data-frame", frame.name));
        }
    } else {
        page.append(h("p", { class: "page-empty" }, "Scegliere una voce nella barra laterale."));
    }
    for (const bar of snapshot.navigators) {
        page.append(part("navigator", bar, context, shown, "data-gridnav-bar", bar.name));
    }
    body.append(page);

    const content = h("div", { class: "window-content" }, body);
    const windowElement = h(
        "section",
        { class: "program-window", "data-window": snapshot.window, "aria-label": snapshot.caption },
        h("h2", { class: "window-caption" }, snapshot.caption),
        content,
    );
    if (snapshot.notice) {
        content.prepend(h("p", { class: "window-notice", role: "status" }, snapshot.notice));
    }

    const overlay = snapshot.messageBox
        ? render("messageBox", snapshot.messageBox, context)
        : snapshot.lookup
          ? render("lookup", snapshot.lookup, context)
          : null;
    if (snapshot.printSheet) {
        content.inert = true;
        windowElement.append(render("printSheet", snapshot.printSheet, context));
    }
    if (snapshot.media && !overlay) {
        content.inert = true;
        windowElement.append(render("media", snapshot.media, context));
    }
    if (snapshot.history && !overlay) {
        content.inert = true;
        windowElement.append(render("history", snapshot.history, context));
    }
    if (overlay) {
        content.inert = true;
        windowElement.append(overlay);
    }
    return windowElement;
}

// The attributes that name an element across redraws.
const identities = ["data-control", "data-item", "data-answer", "data-lookup-row", "data-lookup-search", "data-print"];

export interface FocusMark {
    attribute: string;
    value: string;
    extra?: string;
}

export function markFocus(root: HTMLElement): FocusMark | null {
    const active = document.activeElement;
    if (!(active instanceof HTMLElement) || !root.contains(active)) {
        return null;
    }
    if (active.dataset["gridnav"]) {
        return { attribute: "data-gridnav", value: active.dataset["gridnav"], extra: active.dataset["button"] ?? "" };
    }
    for (const attribute of identities) {
        const value = active.getAttribute(attribute);
        if (value !== null) {
            return { attribute, value };
        }
    }
    return null;
}

// After a redraw: a message box takes the focus on its default button, a lookup list on its search
// box, the history its close button, unless the focus is in them already; otherwise a focused element that was replaced hands the
// focus to the one that stands for the same thing.
// A focus the program moved (a refused save pointing at the field to correct, a page opened on its
// first control) is followed once, as soon as no box or list is open.
let followedMove = 0;

// The dialogs are looked for only when the snapshot has one open: searching a page of ten
// thousand grid rows for them on every snapshot costs more than a frame.
export function restoreFocus(
    root: HTMLElement,
    mark: FocusMark | null,
    shown: Pick<WindowSnapshot, "focus" | "messageBox" | "lookup" | "history">,
): void {
    const focus = shown.focus;
    const preferred =
        shown.messageBox || shown.lookup || shown.history
            ? (root.querySelector<HTMLElement>("[role=dialog][data-message-id] button.default") ??
              root.querySelector<HTMLElement>("[data-lookup] input[type=search]") ??
              root.querySelector<HTMLElement>("[data-history-dialog] [data-history=close]"))
            : null;
    if (preferred) {
        if (!preferred.closest("[role=dialog]")?.contains(document.activeElement)) {
            preferred.focus();
        }
        return;
    }
    if (focus && focus.move > followedMove) {
        followedMove = focus.move;
        const target = root.querySelector<HTMLElement>(`[data-control="${CSS.escape(focus.control)}"]`);
        if (target && !target.hasAttribute("disabled")) {
            target.focus();
            return;
        }
    }
    if (!mark || root.contains(document.activeElement)) {
        return;
    }
    const selector =
        mark.attribute === "data-gridnav"
            ? `[data-gridnav="${CSS.escape(mark.value)}"][data-button="${CSS.escape(mark.extra ?? "")}"]`
            : `[${mark.attribute}="${CSS.escape(mark.value)}"]`;
    const target = root.querySelector<HTMLElement>(selector);
    if (target && !target.hasAttribute("disabled")) {
        target.focus();
    }
}
