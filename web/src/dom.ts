// A small element builder, h("button", { "data-answer": "6" }, "Sì"), and the patching that brings
// the elements on screen up to date with a freshly built tree, touching only what differs: the
// focus, the caret, scroll positions and what is being typed in the focused field stay as they are.

type AttributeValue = string | number | boolean | null | undefined;

export function h<K extends keyof HTMLElementTagNameMap>(
    tag: K,
    attributes: Record<string, AttributeValue> = {},
    ...children: (Node | string | null | undefined)[]
): HTMLElementTagNameMap[K] {
    const element = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes)) {
        if (value === false || value === null || value === undefined) {
            continue;
        }
        element.setAttribute(name, value === true ? "" : String(value));
    }
    for (const child of children) {
        if (child !== null && child !== undefined) {
            element.append(child);
        }
    }
    return element;
}

let nextId = 0;

export function uniqueId(prefix: string): string {
    nextId += 1;
    return `${prefix}-${nextId}`;
}

// Listeners go through one dispatcher that looks the handler up when the event comes, so that a
// patched element answers with the handler of the tree that replaced it.
type Handler = (event: Event, element: HTMLElement) => void;
const handlers = new WeakMap<EventTarget, Map<string, Handler>>();

function dispatch(event: Event): void {
    const element = event.currentTarget as HTMLElement;
    forget(element);
    handlers.get(element)?.get(event.type)?.(event, element);
}

export function on<E extends HTMLElement, K extends keyof HTMLElementEventMap>(
    element: E,
    type: K,
    handler: (event: HTMLElementEventMap[K], element: E) => void,
): void {
    let map = handlers.get(element);
    if (!map) {
        map = new Map();
        handlers.set(element, map);
    }
    map.set(type, handler as unknown as Handler);
    element.addEventListener(type, dispatch);
}

// A part of the window drawn from a state is not built again while the same state is on screen:
// a bare copy of the shown element stands in for it and patching keeps the shown one. Whatever the
// person does in a part (a box ticked, a choice made) may differ from its state, so it forgets it.
const drawnFrom = new WeakMap<Element, string>();
const standsFor = new WeakMap<Element, Element>();
// Parts that keep state of their own (a list narrowed by a search, a file chosen) are kept while
// their state is the same and replaced whole when it changes, never patched.
const wholes = new WeakSet<Element>();

export function opaque<E extends HTMLElement>(element: E, state: unknown): E {
    drawnFrom.set(element, JSON.stringify(state));
    wholes.add(element);
    return element;
}

function forget(element: Element): void {
    for (let node: Element | null = element; node !== null; node = node.parentElement) {
        drawnFrom.delete(node);
    }
}

// `drawn` is the element last drawn for the part: on screen, or put aside when it left the screen
// (then it comes back as it is).
export function memo<E extends HTMLElement>(drawn: Element | null, state: unknown, draw: () => E): HTMLElement {
    const signature = JSON.stringify(state);
    if (drawn !== null && drawnFrom.get(drawn) === signature) {
        if (!drawn.isConnected) {
            return drawn as HTMLElement;
        }
        const standIn = drawn.cloneNode(false) as HTMLElement;
        drawnFrom.set(standIn, signature);
        standsFor.set(standIn, drawn);
        return standIn;
    }
    const element = draw();
    drawnFrom.set(element, signature);
    return element;
}

// An element its renderer keeps up to date itself: while it is on screen a bare copy stands in for
// it, and patching leaves the shown one as it is.
export function kept(element: HTMLElement): HTMLElement {
    if (!element.isConnected) {
        return element;
    }
    const standIn = element.cloneNode(false) as HTMLElement;
    standsFor.set(standIn, element);
    return standIn;
}

// A stand-in that cannot be matched with what is shown brings the shown element along.
function real(node: Node): Node {
    return (node instanceof Element && standsFor.get(node)) || node;
}

// Elements that stand for different things are replaced, not patched into one another.
const identities = [
    "data-window",
    "data-frame",
    "data-field",
    "data-control",
    "data-page",
    "data-item",
    "data-group",
    "data-gridnav-bar",
    "data-button",
    "data-message-id",
    "data-lookup",
    "type",
];

function sameThing(target: Element, source: Element): boolean {
    return (
        target.tagName === source.tagName &&
        identities.every((name) => target.getAttribute(name) === source.getAttribute(name))
    );
}

// A property or an attribute is written only when it differs: any write to a form control, even
// of the value it holds, costs the browser a walk over every form control of the page (a transfer
// grid holds twenty thousand).
export function assign<T extends object, K extends keyof T>(target: T, key: K, value: T[K]): void {
    if (target[key] !== value) {
        target[key] = value;
    }
}

export function setAttribute(target: Element, name: string, value: string): void {
    if (target.getAttribute(name) !== value) {
        target.setAttribute(name, value);
    }
}

function syncAttributes(target: Element, source: Element): void {
    for (const { name } of Array.from(target.attributes)) {
        if (!source.hasAttribute(name)) {
            target.removeAttribute(name);
        }
    }
    for (const { name, value } of Array.from(source.attributes)) {
        setAttribute(target, name, value);
    }
}

function syncHandlers(target: Element, source: Element): void {
    const wanted = handlers.get(source);
    if (wanted) {
        for (const type of wanted.keys()) {
            target.addEventListener(type, dispatch);
        }
        handlers.set(target, wanted);
    } else {
        handlers.delete(target);
    }
}

function matches(shown: Node, wanted: Node): boolean {
    if (shown instanceof Element && wanted instanceof Element) {
        return sameThing(shown, wanted);
    }
    return shown instanceof Text && wanted instanceof Text;
}

function later(from: ChildNode | null, wanted: Node): ChildNode | null {
    for (let node = from; node !== null; node = node.nextSibling) {
        if (matches(node, wanted)) {
            return node;
        }
    }
    return null;
}

// Children are matched in order; one that appears (a notice, a header) is inserted and one that
// goes is removed, so that the elements around them, and the focus in them, stay.
function syncChildren(target: Element, source: Element): void {
    let current = target.firstChild;
    for (const wanted of Array.from(source.childNodes)) {
        const found = current === null ? null : later(current, wanted);
        if (found === null) {
            target.insertBefore(real(wanted), current);
            continue;
        }
        while (current !== found && current !== null) {
            const next: ChildNode | null = current.nextSibling;
            current.remove();
            current = next;
        }
        current = found.nextSibling;
        if (found instanceof Text) {
            if (found.data !== (wanted as Text).data) {
                found.data = (wanted as Text).data;
            }
        } else {
            patch(found as Element, wanted as Element);
        }
    }
    while (current !== null) {
        const next = current.nextSibling;
        current.remove();
        current = next;
    }
}

// Makes `target` show what `source` shows and returns the element now on screen (`source` when the
// two could not be patched into one another). `source` is consumed.
export function patch(target: Element, source: Element): Element {
    const drawn = drawnFrom.get(source);
    if (drawn !== undefined && drawnFrom.get(target) === drawn) {
        return target;
    }
    if (!sameThing(target, source) || standsFor.has(source) || wholes.has(source)) {
        const replacement = real(source) as Element;
        if (replacement !== target) {
            target.replaceWith(replacement);
        }
        return replacement;
    }
    // What a field shows lives in properties the attributes do not carry; read them before the
    // children (a select's options) move across.
    const previousValue = target.getAttribute("value");
    const selected = source instanceof HTMLSelectElement ? source.value : null;
    syncAttributes(target, source);
    syncChildren(target, source);
    syncHandlers(target, source);
    if (drawn !== undefined) {
        drawnFrom.set(target, drawn);
    } else {
        drawnFrom.delete(target);
    }
    if (target instanceof HTMLSelectElement && selected !== null && target.value !== selected) {
        target.value = selected;
    } else if (target instanceof HTMLInputElement && source instanceof HTMLInputElement) {
        if (target.type === "checkbox" || target.type === "radio") {
            target.checked = source.checked;
        } else if (target.type !== "file") {
            // What the person is typing in the focused field stays until the window changes it.
            const changed = previousValue !== source.getAttribute("value");
            if ((changed || target !== document.activeElement) && target.value !== source.value) {
                target.value = source.value;
            }
        }
    }
    return target;
}
