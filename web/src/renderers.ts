// One renderer per kind of thing the window shows. Each turns its part of the snapshot into
// elements and reports what the person does through the context; none keeps state of its own.

import { h } from "./dom.js";
import type {
    ControlState,
    FrameState,
    HistoryState,
    LookupState,
    MediaState,
    MessageBoxState,
    NavigatorState,
    PrintSheetState,
    SideBarState,
    WindowAction,
} from "./protocol.js";

export interface RenderContext {
    send(action: WindowAction): void;
}

export interface RenderedKinds {
    combo: ControlState;
    checkbox: ControlState;
    edit: ControlState;
    label: ControlState;
    button: ControlState;
    grid: ControlState;
    frame: FrameState;
    sideBar: SideBarState;
    navigator: NavigatorState;
    messageBox: MessageBoxState;
    lookup: LookupState;
    printSheet: PrintSheetState;
    media: MediaState;
    history: HistoryState;
}

export type Kind = keyof RenderedKinds;
export type Renderer<T> = (state: T, context: RenderContext) => HTMLElement;

const registry = new Map<Kind, Renderer<never>>();

export function registerRenderer<K extends Kind>(kind: K, renderer: Renderer<RenderedKinds[K]>): void {
    registry.set(kind, renderer as Renderer<never>);
}

export function render<K extends Kind>(kind: K, state: RenderedKinds[K], context: RenderContext): HTMLElement {
    const renderer = registry.get(kind) as Renderer<RenderedKinds[K]> | undefined;
    if (!renderer) {
        return h("span", { class: "unsupported" }, `Elemento non gestito: ${kind}`);
    }
    return renderer(state, context);
}

const controlKinds: ReadonlySet<string> = new Set(["combo", "checkbox", "edit", "label", "button", "grid"]);

// A control in its row; a control that is not visible is not displayed at all.
export function renderControl(control: ControlState, context: RenderContext): HTMLElement {
    const row = h("div", { class: `field field-${control.kind}`, "data-field": control.name });
    row.hidden = !control.visible;
    if (controlKinds.has(control.kind)) {
        row.append(render(control.kind as "combo", control, context));
    } else {
        row.append(
            h("span", { class: "unsupported", "data-control": control.name }, `Controllo non gestito: ${control.kind}`),
        );
    }
    return row;
}
