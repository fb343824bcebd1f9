// Renderers of the bound controls: combo, checkbox, edit (with its key button), label, button.

import { h, on } from "./dom.js";
import type { ControlState } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

function text(value: ControlState["value"]): string {
    return value === null || value === undefined ? "" : String(value);
}

function caption(control: ControlState, inputId: string): HTMLElement | null {
    const label = control.label ?? control.caption;
    if (!label) {
        return null;
    }
    return h("label", { for: inputId, class: control.mandatory ? "caption mandatory" : "caption" }, label);
}

function description(control: ControlState): HTMLElement | null {
    return control.description
        ? h("span", { class: "description", "data-description": control.name }, control.description)
        : null;
}

function effective(control: ControlState): HTMLElement | null {
    return control.effective
        ? h("span", { class: "effective", "data-effective": control.name }, control.effective)
        : null;
}

export function renderCombo(control: ControlState, context: RenderContext): HTMLElement {
    const id = `ctl-${control.name}`;
    const select = h("select", {
        id,
        "data-control": control.name,
        disabled: !control.enabled,
        "aria-required": control.mandatory ? "true" : null,
    });
    const current = text(control.value);
    const rows = control.rows ?? [];
    if (!rows.some((row) => row.value === current)) {
        select.append(h("option", { value: current }, "")); // a stored code outside the list
    }
    for (const row of rows) {
        select.append(h("option", { value: row.value }, row.text));
    }
    select.value = current;
    on(select, "change", (_, element) =>
        context.send({ type: "setValue", control: control.name, value: element.value }),
    );
    return h("span", { class: "control" }, caption(control, id), select, description(control), effective(control));
}

function checked(value: ControlState["value"]): boolean {
    return value === true || (value !== null && value !== false && Number(value) !== 0 && String(value).trim() !== "");
}

export function renderCheckbox(control: ControlState, context: RenderContext): HTMLElement {
    const id = `ctl-${control.name}`;
    const box = h("input", { id, type: "checkbox", "data-control": control.name, disabled: !control.enabled });
    box.checked = checked(control.value);
    on(box, "change", (_, element) =>
        context.send({ type: "setValue", control: control.name, value: element.checked ? 1 : 0 }),
    );
    const label = control.label ?? control.caption ?? "";
    return h("span", { class: "control checkbox" }, box, h("label", { for: id }, label));
}

const numericCharacters = /^[0-9.,-]*$/;

export function renderEdit(control: ControlState, context: RenderContext): HTMLElement {
    const id = `ctl-${control.name}`;
    const input = h("input", {
        id,
        type: "text",
        "data-control": control.name,
        value: text(control.value),
        maxlength: control.maxLength && control.maxLength > 0 ? control.maxLength : null,
        disabled: !control.enabled,
        inputmode: control.numeric ? "decimal" : null,
        "aria-required": control.mandatory ? "true" : null,
        autocomplete: "off",
    });
    const sent = text(control.value);
    on(input, "beforeinput", (event) => {
        if (control.numeric && event.data && !numericCharacters.test(event.data)) {
            event.preventDefault(); // letters never reach a numeric field
        }
    });
    on(input, "change", (_, element) => {
        if (control.numeric && !numericCharacters.test(element.value)) {
            element.value = sent;
            return;
        }
        context.send({ type: "leaveField", control: control.name, text: element.value });
    });
    const parts: (HTMLElement | null)[] = [caption(control, id), input];
    if (control.keyButton) {
        on(input, "keydown", (event) => {
            if (event.key === "F3") {
                event.preventDefault();
                context.send({ type: "openLookup", control: control.name });
            }
        });
        const key = h(
            "button",
            {
                type: "button",
                class: "key-button",
                "data-key-button": control.name,
                title: "Ricerca (F3)",
                "aria-label": "Ricerca",
                disabled: !control.enabled,
                tabindex: -1,
            },
            "…",
        );
        on(key, "click", () => context.send({ type: "openLookup", control: control.name }));
        parts.push(key);
    }
    for (const entry of control.keyMenu ?? []) {
        const item = h(
            "button",
            { type: "button", class: "key-menu", "data-key-menu": entry.key, disabled: !control.enabled || !entry.enabled },
            entry.caption,
        );
        on(item, "click", () => context.send({ type: "keyMenu", control: control.name, key: entry.key }));
        parts.push(item);
    }
    parts.push(description(control));
    return h("span", { class: "control edit" }, ...parts);
}

export function renderLabel(control: ControlState): HTMLElement {
    return h("span", { class: "label", "data-control": control.name }, text(control.caption ?? control.value));
}

export function renderButton(control: ControlState, context: RenderContext): HTMLElement {
    const button = h(
        "button",
        { type: "button", "data-control": control.name, disabled: !control.enabled },
        control.caption ?? control.name,
    );
    on(button, "click", () => context.send({ type: "click", control: control.name }));
    return button;
}

registerRenderer("combo", renderCombo);
registerRenderer("checkbox", renderCheckbox);
registerRenderer("edit", renderEdit);
registerRenderer("label", renderLabel);
registerRenderer("button", renderButton);
