// A stand-in of the addon API of the C# game servers, as small as the
// written scripts allow: they must compile against it as they would on a shard.
using System;
using System.Collections.Generic;

namespace Server
{
	public struct Serial { public int Value; public Serial(int value) { Value = value; } }
	public class ConstructableAttribute : Attribute { }
	public enum LightType { Circle300 = 2 }

	public class GenericWriter
	{
		public List<int> Ints = new List<int>();
		public void Write(int value) { Ints.Add(value); }
	}

	public class GenericReader
	{
		private List<int> m_Ints; private int m_Next;
		public GenericReader(List<int> ints) { m_Ints = ints; }
		public int ReadInt() { return m_Ints[m_Next++]; }
		public bool AtEnd { get { return m_Next == m_Ints.Count; } }
	}

	public class Item
	{
		public int ItemID, Hue; public string Name; public LightType Light;
		public Item(int itemID) { ItemID = itemID; }
		public Item(Serial serial) { }
		public virtual void Serialize(GenericWriter writer) { writer.Write(-7); }
		public virtual void Deserialize(GenericReader reader) { if (reader.ReadInt() != -7) throw new Exception("item data"); }
	}
}

namespace Server.Items
{
	public class AddonComponent : Item
	{
		public int X, Y, Z;
		public AddonComponent(int itemID) : base(itemID) { }
	}

	public class BaseAddon : Item
	{
		public List<AddonComponent> Components = new List<AddonComponent>();
		public BaseAddon() : base(1) { }
		public BaseAddon(Serial serial) : base(serial) { }
		public virtual BaseAddonDeed Deed { get { return null; } }
		public void AddComponent(AddonComponent c, int x, int y, int z) { c.X = x; c.Y = y; c.Z = z; Components.Add(c); }
	}

	public abstract class BaseAddonDeed : Item
	{
		public BaseAddonDeed() : base(0x14F0) { }
		public BaseAddonDeed(Serial serial) : base(serial) { }
		public abstract BaseAddon Addon { get; }
	}
}
